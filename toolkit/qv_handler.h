#pragma once
#include <cstdint>

class QV_Message;

// The root of everything that receives messages: the application object,
// windows, layers and views. A handler that does not act on a message passes
// it on by calling its base class's HandleMessage, so that it climbs
// view -> parent view -> layer -> window -> parent window -> application.
class QV_Handler {
public:
    QV_Handler() = default;
    QV_Handler(const QV_Handler&) = delete;
    QV_Handler& operator=(const QV_Handler&) = delete;
    virtual ~QV_Handler();

    virtual void DispatchMessage(QV_Message* message);
    // Synchronous despite its name: a message with this id and no entries is
    // built, handled and destroyed before it returns.
    virtual void PostMessage(int32_t what);
    virtual void HandleMessage(QV_Message* message);
};
