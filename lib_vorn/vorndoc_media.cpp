// The document's sound-carrying layers, gathered depth-first in list order for the mixdown and
// the editor's live playback.

#include <new>

#include "audiolayer.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "vorndoc.h"

void VornDoc::CollectAudioLayers(QV_ArrayList& list, VornLayer* layer)
{
    if (!layer) {
        list.fCount = 0;
        for (int32_t i = 0; i < fLayers.fCount; i++)
            CollectAudioLayers(list, static_cast<VornLayer*>(fLayers.fItems[i]));
        return;
    }
    if (layer->IsAudioType())
        list.Append(layer);
    if (!layer->IsGroupType())
        return;
    GroupLayer* group = static_cast<GroupLayer*>(layer);
    for (int32_t i = 0; i < group->fLayers.fCount; i++)
        CollectAudioLayers(list, static_cast<VornLayer*>(group->fLayers.fItems[i]));
}

void VornDoc::CollectMovieLayers(QV_ArrayList& list, VornLayer* layer)
{
    if (!layer) {
        list.fCount = 0;
        for (int32_t i = 0; i < fLayers.fCount; i++)
            CollectMovieLayers(list, static_cast<VornLayer*>(fLayers.fItems[i]));
        return;
    }
    if (layer->LayerType() == LT_IMAGE && static_cast<ImageLayer*>(layer)->IsMovieLayer())
        list.Append(layer);
    if (!layer->IsGroupType())
        return;
    GroupLayer* group = static_cast<GroupLayer*>(layer);
    for (int32_t i = 0; i < group->fLayers.fCount; i++)
        CollectMovieLayers(list, static_cast<VornLayer*>(group->fLayers.fItems[i]));
}

bool VornDoc::SoundtrackToAudioLayer()
{
    AudioLayer* layer = new (std::nothrow) AudioLayer;
    if (!layer)
        return false;
    // A sound that cannot be loaded leaves the layer silent; the document still opens.
    layer->SetAudioFile(fSoundtrack.CString());
    layer->SetName(fSoundtrack.FileName().CString());
    if (!AddLayer(layer)) {
        delete layer;
        return false;
    }
    fSoundtrack = "";
    return true;
}
