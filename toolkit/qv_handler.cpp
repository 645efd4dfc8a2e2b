#include "qv_handler.h"

#include "qv_message.h"

QV_Handler::~QV_Handler() = default;

void QV_Handler::DispatchMessage(QV_Message* message)
{
    HandleMessage(message);
}

void QV_Handler::PostMessage(int32_t what)
{
    QV_Message message(what);
    DispatchMessage(&message);
}

void QV_Handler::HandleMessage(QV_Message*) { }
