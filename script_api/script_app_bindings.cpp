#include "script_app_bindings.h"

#include "audiolayer.h"
#include "imagelayer.h"
#include "mesh3dlayer.h"
#include "particlelayer.h"
#include "qv_message.h"
#include "script_app_services.h"
#include "script_interface.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace vornsi {

void UpdateUI(ScriptInterface* self)
{
    (void)self;
    ScriptAppServices& services = ScriptServices();
    if (services.HasMainWindow())
        services.SendToMainWindow(1006);
}

bool IsCopyable(ScriptInterface* self)
{
    (void)self;
    ScriptAppServices& services = ScriptServices();
    return services.HasMainWindow() && services.HasMainLayer() && services.IsCopyable();
}

bool IsPasteable(ScriptInterface* self)
{
    (void)self;
    ScriptAppServices& services = ScriptServices();
    return services.HasMainWindow() && services.HasMainLayer() && services.IsPasteable();
}

void NewKeyframe(ScriptInterface* self, int channel)
{
    (void)self;
    ScriptNewKeyframe(channel);
}

void UpdateSelectedChannels(ScriptInterface* self)
{
    (void)self;
    ScriptAppServices& services = ScriptServices();
    if (services.HasMainWindow())
        services.UpdateSelectedChannels();
}

ImageLayer* LayerAsImage(ScriptInterface* self, VornLayer* layer)
{
    (void)self;
    return layer && layer->LayerType() == LT_IMAGE ? static_cast<ImageLayer*>(layer) : nullptr;
}

ParticleLayer* LayerAsParticle(ScriptInterface* self, VornLayer* layer)
{
    (void)self;
    return layer && layer->LayerType() == LT_PARTICLE ? static_cast<ParticleLayer*>(layer) : nullptr;
}

Mesh3DLayer* LayerAs3D(ScriptInterface* self, VornLayer* layer)
{
    (void)self;
    return layer && layer->LayerType() == LT_3D ? static_cast<Mesh3DLayer*>(layer) : nullptr;
}

AudioLayer* LayerAsAudio(ScriptInterface* self, VornLayer* layer)
{
    (void)self;
    return layer && layer->LayerType() == LT_AUDIO ? static_cast<AudioLayer*>(layer) : nullptr;
}

M_Mesh3D* Mesh3D(ScriptInterface* self)
{
    Mesh3DLayer* layer = LayerAs3D(self, self->fLayer);
    return layer ? &layer->Mesh() : nullptr;
}

M_Shape* NewShapeProperties(ScriptInterface* self)
{
    (void)self;
    return ScriptServices().NewShapeProperties();
}

int CountAudioLayers(ScriptInterface* self)
{
    if (self->fAudioLayers.fCount == 0 && self->fDoc)
        self->fDoc->CollectAudioLayers(self->fAudioLayers, nullptr);
    return self->fAudioLayers.fCount;
}

AudioLayer* GetAudioLayer(ScriptInterface* self, int index)
{
    if (index < 0 || index >= self->fAudioLayers.fCount)
        return nullptr;
    auto* layer = static_cast<VornLayer*>(self->fAudioLayers.fItems[index]);
    return LayerAsAudio(self, layer);
}

void CreateTextObject(ScriptInterface* self)
{
    (void)self;
    ScriptAppServices& services = ScriptServices();
    if (!services.HasMainLayer())
        return;
    QV_Message message(3150);
    services.DispatchToMainLayer(message);
}

void ImportEPS(ScriptInterface* self, const char* path)
{
    if (!self->fDoc || !path)
        return;
    self->fDoc->ImportEPS(path, nullptr);
    self->fLayer = self->fDoc->GetSelectedLayer();
}

} // namespace vornsi
