#pragma once

#include "qv_handler.h"
#include "qv_string.h"

// Receives the path the open and save choosers hand over: a message -1000 holding "path".
class QVi_OpenSaveHandler : public QV_Handler {
public:
    QVi_OpenSaveHandler();
    ~QVi_OpenSaveHandler() override;
    void HandleMessage(QV_Message* message) override;

    QV_String fPath;
};

// The open and save choosers for scripts: the chosen path, or "" when the user cancels. The
// text stays valid until the next call of either.
const char* OpenFile(const char* title);
const char* SaveFile(const char* title);
