#pragma once

#include <cstdint>

#include "qv_dialog.h"

class QV_CheckBox;
class QV_PopupMenu;
class QV_RadioButton;
class QV_TextControl;
class VornDoc;
class VornLayer;

// The smallest scale the noisy dialog takes: its reciprocal is what the keys store.
constexpr float kMinNoiseScale = 0.001f;

// Amplitude and scale of the noisy interpolation. The caller passes the scale as shown (the
// reciprocal of the keys' parameter) and gets back the parameter to store.
class NoiseDlog : public QV_Dialog {
public:
    NoiseDlog(QV_Wnd* owner, float* amplitude, float* scale);
    ~NoiseDlog() override;
    void ExchangeData(bool apply) override;
    // A scale below kMinNoiseScale is raised to it, with a beep, and the dialog stays open.
    bool OnValidate() override;

    float* fAmplitude;
    float* fScale;
    QV_TextControl* fAmplitudeField;
    QV_TextControl* fScaleField;
};

// Where a cycle key restarts: an absolute frame, or a count of frames back.
class CycleDlog : public QV_Dialog {
public:
    CycleDlog(QV_Wnd* owner, int32_t* relative, int32_t* absolute);
    ~CycleDlog() override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    int32_t* fRelative;
    int32_t* fAbsolute;
    QV_RadioButton* fRelativeButton;
    QV_RadioButton* fAbsoluteButton;
    QV_TextControl* fValueField;
};

// The popup item of an interpolation mode (6903 Smooth ... 6909 Ease Out); modes without an
// item of their own show Smooth.
int32_t InterpItemForMode(int32_t mode);
// The mode an item stores; Smooth for anything else.
int32_t InterpModeForItem(int32_t item);

// The interpolation new keys get and the channel switches of the current layer's channels.
class HideChannelsDlog : public QV_Dialog {
public:
    static constexpr int32_t kMaxChannels = 64;

    HideChannelsDlog(VornDoc* document, QV_Wnd* owner);
    ~HideChannelsDlog() override;
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;

    VornDoc* fDocument;
    VornLayer* fLayer;
    QV_PopupMenu* fInterpPopup;
    QV_CheckBox* fChecks[kMaxChannels];
    int32_t fChannelIDs[kMaxChannels];
    // The column each channel's row went into.
    int32_t fColumnOf[kMaxChannels];
};

// The timeline's way to these dialogs (run modally on the owner window).
void InstallTimelineDialogs();
