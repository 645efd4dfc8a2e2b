#pragma once
#include <cstdint>

#include "codec_choice.h"
#include "qv_dialog.h"

class QV_CheckBox;
class QV_DynamicText;
class QV_PopupMenu;
class QV_Slider;
class QV_TextControl;

// The movie compression dialog: the codec from a list, its quality, and for AVI the key-frame
// interval and the data rate. OK first tries the encoder on frames of the movie's size in memory;
// a refusal is told in an alert and the dialog stays. A confirmed choice becomes the AVI options
// record or the MOV compression with its settings keys; Cancel changes nothing.
class CodecDialog : public QV_Dialog {
public:
    static constexpr int32_t kCodecBase = 9300;
    static constexpr int32_t kMaxOffers = 32;
    static constexpr int32_t kQualityChanged = 9290;
    static constexpr int32_t kKeyFramesToggled = 9291;
    static constexpr int32_t kDataRateToggled = 9292;
    // The AVI quality shown while the encoder's own is in use.
    static constexpr int32_t kDefaultAviQuality = 75;

    CodecDialog(int32_t kind, QV_Wnd* owner, int32_t width, int32_t height);

    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void HandleMessage(QV_Message* message) override;

    // The choice the widgets show now; a codec the list does not hold is kept as it was.
    CodecChoice ChoiceFromWidgets() const;
    // Tries the encoder of the widgets' choice; on a refusal tells the user and answers false.
    bool TrialAccepted();

    int32_t fKind;
    int32_t fWidth;
    int32_t fHeight;
    // What the dialog started from.
    CodecChoice fChoice;
    QV_PopupMenu* fCodecMenu;
    QV_Slider* fQuality;
    QV_DynamicText* fQualityText;
    // AVI only (null for MOV).
    QV_CheckBox* fKeyFrames;
    QV_TextControl* fKeyFrameField;
    QV_CheckBox* fDataRate;
    QV_TextControl* fDataRateField;
    // MOV only (null for AVI): depth 32 instead of 24.
    QV_CheckBox* fAlpha;

private:
    void ShowQuality();
    // The AVI settings that mean nothing for frames stored uncompressed are greyed.
    void EnableAviSettings();
};

// The codec dialog for a movie kind over the parent (a QV_Wnd, or null), run modally; true when
// OK stored a choice. The toolkit installs it as the movie writers' codec dialog.
bool ShowCodecDialog(int32_t kind, void* parentWindow, int32_t width, int32_t height);
