#include "qv_open_save.h"

#include "file_dialogs.h"
#include "qv_app.h"
#include "qv_message.h"

namespace {

constexpr int32_t kPathMessage = -1000;

QVi_OpenSaveHandler gOpenSaveHandler;

QV_Wnd* MainWindow()
{
    return gApp ? gApp->fMainWindow : nullptr;
}

} // namespace

QVi_OpenSaveHandler::QVi_OpenSaveHandler() = default;

QVi_OpenSaveHandler::~QVi_OpenSaveHandler() = default;

void QVi_OpenSaveHandler::HandleMessage(QV_Message* message)
{
    QV_String path;
    if (message && message->fWhat == kPathMessage && message->FindString("path", path))
        fPath = path;
}

const char* OpenFile(const char* title)
{
    gOpenSaveHandler.fPath = "";
    RunOpenFileDialog(title ? title : "", &gOpenSaveHandler, MainWindow(), kPathMessage, nullptr, nullptr);
    return gOpenSaveHandler.fPath.CString();
}

const char* SaveFile(const char* title)
{
    gOpenSaveHandler.fPath = "";
    RunSaveFileDialog(title ? title : "", &gOpenSaveHandler, MainWindow(), kPathMessage, nullptr, nullptr);
    return gOpenSaveHandler.fPath.CString();
}
