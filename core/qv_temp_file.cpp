#include "qv_temp_file.h"

#include "plat_temp_folder.h"
#include "qv_path.h"

#include <atomic>
#include <mutex>

namespace {

// Export threads ask for names too, so the folder is built under a lock and
// the counter is atomic. The folder is private to the process so that two
// running copies of the program never hand out the same name.
std::mutex gTempLock;
std::atomic<int> gTempCounter { 0 };

QV_Path TempFolder()
{
    std::lock_guard<std::mutex> guard(gTempLock);
    static QV_Path folder;
    if (folder.IsEmpty()) {
        std::string own = PlatProcessTempFolder();
        // Without a private folder the shared one is still better than no name.
        folder = own.empty() ? PlatTempFolder().c_str() : own.c_str();
    }
    return folder;
}

} // namespace

QV_String TempFileName()
{
    QV_Path name = TempFolder();
    QV_String file("qv_temp_");
    file.AppendInt(gTempCounter.fetch_add(1));
    name.Append(file);
    return name;
}
