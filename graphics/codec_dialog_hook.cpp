#include "codec_dialog_hook.h"

namespace {

CodecDialogHook gCodecDialog = nullptr;

} // namespace

void SetCodecDialogHook(CodecDialogHook hook)
{
    gCodecDialog = hook;
}

CodecDialogHook GetCodecDialogHook()
{
    return gCodecDialog;
}
