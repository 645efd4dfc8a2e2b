#include "qv_static_picture.h"

#include "qv_graphics.h"
#include "qv_layer.h"
#include "shell_open.h"

QV_StaticPicture::QV_StaticPicture(QV_PixelBuffer* image, const char* toolTip)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fImage(image)
    , fToolTipText(toolTip ? toolTip : "")
{
    fToolTip.fShowDelay = 0;
    if (image)
        ResizeTo(image->width, image->height);
}

void QV_StaticPicture::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (!fLink.IsEmpty()) {
        OpenURL(fLink.CString());
        return;
    }
    QV_View::MouseDown(x, y, button, modifiers, message);
}

void QV_StaticPicture::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    if (AnyButtonDown() || fToolTipText.IsEmpty())
        return;
    QV_Layer* layer = OwnerLayer();
    if (!layer || !layer->fShown || !layer->fWindow)
        return;
    const QV_Point at = ConvertToWindow({ x, y });
    fToolTip.Show(layer->fWindow, at.x, at.y, fToolTipText.CString());
}

void QV_StaticPicture::Detached()
{
    fToolTip.Hide();
    QV_BaseWidget::Detached();
}

void QV_StaticPicture::DrawWidget(QV_Graphics* graphics)
{
    if (fImage)
        graphics->DrawImageAlpha(fImage, 0, 0, false);
}
