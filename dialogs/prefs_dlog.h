#pragma once

#include <cstdint>

#include "qv_color.h"
#include "qv_dialog.h"

class MainLayer;
class QV_CheckBox;
class QV_ColorSwatch;
class QV_Message;
class QV_PopupMenu;
class QV_TabView;

// The tabs the dialog shows, in order. Callers that name a tab by the old numbering (where 1
// was the account tab of a service the program no longer talks to) go through TabForRequest.
constexpr int32_t kPrefsTabOptions = 0;
constexpr int32_t kPrefsTabEditorColors = 1;
constexpr int32_t kPrefsTabGuiColors = 2;
int32_t TabForRequest(int32_t requested);

// The user's preferences: the option switches, the default interpolation, the editor colours
// and the interface colours. Colour changes take effect at once; Cancel gives every colour back
// the value it had when the dialog opened.
class PrefsDlog : public QV_Dialog {
public:
    static constexpr int32_t kCheckCount = 13;
    static constexpr int32_t kMaxColors = 40;

    explicit PrefsDlog(QV_Wnd* owner);
    ~PrefsDlog() override;

    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    void DialogClosed(int32_t id) override;

    struct ColorEntry {
        QV_ColorSwatch* swatch;
        rgb_color* variable;
        rgb_color initial;
    };

    QV_TabView* fTabs;
    QV_CheckBox* fChecks[kCheckCount];
    QV_PopupMenu* fInterpPopup;
    QV_CheckBox* fLargeFonts;
    int32_t fColorCount;
    ColorEntry fColors[kMaxColors];

private:
    QV_ColorSwatch* AddSwatch(rgb_color* variable);
    // Every widget drawn again and shown.
    void Redraw();
};

// Runs the dialog modally on the owner window, on the tab the message's "ActivateTab" names;
// answers how it ended.
int32_t RunPrefsDlog(QV_Wnd* owner, QV_Message* message);

// The preferences command (-1010) of the main layer; 0 for every other command.
int32_t RunPrefsCommand(MainLayer* layer, int32_t command, QV_Message* message);
