#include "channelinfo.h"

#include "qv_app.h"
#include "resource_images.h"

void ChannelInfo::Reset()
{
    fID = 0;
    fIcon = nullptr;
    fLabel = "";
    fSeparator = false;
    fSubChannels = 1;
    fSelectionOnly = false;
    fBoolGroup = false;
    fVisibilityRow = false;
    fSingleChannel = true;
    fAngle = false;
}

void ChannelInfo::SetLook(const char* iconName, const char* labelLiteral)
{
    fIcon = GetResourceImage(iconName);
    fLabel = Localize(labelLiteral);
}
