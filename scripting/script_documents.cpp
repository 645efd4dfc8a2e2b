// The documents that scripts open for themselves, apart from any window.

#include "script_interface.h"

#include <algorithm>
#include <vector>

#include "qv_filestream.h"
#include "qv_path.h"
#include "vorndoc.h"

namespace {

// The documents scripts loaded and have not destroyed. Script calls run on one thread at a
// time for tool and menu scripts, which are the ones that load documents.
std::vector<VornDoc*>& LiveDocuments()
{
    static std::vector<VornDoc*> documents;
    return documents;
}

} // namespace

VornDoc* ScriptInterface::LoadDocument(const char* path)
{
    if (!path)
        return nullptr;
    QV_FileStream stream;
    if (stream.Open(path, true) != 0)
        return nullptr;
    auto* doc = new VornDoc(&stream);
    if (doc->fReadFailed) {
        delete doc;
        return nullptr;
    }
    doc->SetPath(path);
    doc->fName = QV_Path(path).BaseName();
    LiveDocuments().push_back(doc);
    return doc;
}

bool DestroyScriptDocument(VornDoc* doc)
{
    std::vector<VornDoc*>& live = LiveDocuments();
    const auto found = std::find(live.begin(), live.end(), doc);
    if (!doc || found == live.end())
        return false;
    live.erase(found);
    delete doc;
    return true;
}
