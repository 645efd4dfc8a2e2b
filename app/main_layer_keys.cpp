// Keys the main layer answers before the view with the keyboard does.
#include "main_layer.h"
#include "qv_keys.h"

namespace {

constexpr int32_t kKeyF5 = KEY_F1 - 4;

} // namespace

void MainLayer::KeyDown(int32_t key, int32_t modifiers)
{
    // F5 previews the animation as a movie.
    if (key == kKeyF5 && !(modifiers & (MODIFIER_ALT | MODIFIER_CTRL | MODIFIER_SHIFT))) {
        PostMessage(3129);
        return;
    }
    QV_Layer::KeyDown(key, modifiers);
}
