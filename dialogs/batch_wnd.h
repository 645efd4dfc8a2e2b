#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "qv_layer.h"
#include "qv_path.h"
#include "qv_string.h"
#include "qv_wnd.h"
#include "render_settings.h"
#include "render_worker.h"

class QV_Button;
class QV_CheckBox;
class QV_Menu;
class QV_PopupMenu;
class QV_TextControl;
class QV_TextList;
class VornWnd;

constexpr int32_t kBatchOptionChanged = 5401;
constexpr int32_t kBatchStart = 5402;
constexpr int32_t kBatchSelection = 5403;
constexpr int32_t kBatchDone = 5404;
constexpr int32_t kBatchAdd = 5405;
constexpr int32_t kBatchFormatFirst = 5450;

// One project of the batch with its own range and options.
struct BatchEntry {
    QV_Path fPath;
    RenderSettings fSettings;
};

class BatchLayer : public QV_Layer {
public:
    BatchLayer();
    void Draw() override;
};

// Batch Export: projects dropped or added are rendered one after the other, without opening
// them, into files beside each project in one format. Start, Pause and Continue share one
// button. The worker renders entry 0 and tells the interface thread when it is done; only the
// interface thread changes the list and the widgets.
class BatchWnd : public QV_Wnd {
public:
    static constexpr int32_t kOptionCount = 10;

    BatchWnd(VornWnd* mainWindow, int32_t left, int32_t top, int32_t right, int32_t bottom);
    ~BatchWnd() override;
    void HandleMessage(QV_Message* message) override;
    bool QuitRequested() override;
    void Closed() override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    void FileDropped(const char* path, int32_t x, int32_t y, int32_t modifiers) override;
    void ExchangeData(bool store);
    void RemoveFirstEntry();
    // The entry count, read on the interface thread.
    int32_t CountEntries();
    bool Running() const { return fState != 0; }

    VornWnd* fMainWindow;
    // 0 idle, 1 running, 2 paused; written on the interface thread, read by the worker under
    // fShared.
    int32_t fState;
    RenderSettings fDefaults;
    std::vector<BatchEntry*> fEntries;
    RenderWorker fWorker;
    BatchLayer* fLayer;
    QV_Button* fStartButton;
    QV_Button* fAddButton;
    QV_TextList* fList;
    QV_TextControl* fStartField;
    QV_TextControl* fEndField;
    QV_PopupMenu* fFormat;
    QV_Menu* fFormatMenu;
    QV_CheckBox* fOptions[kOptionCount];

    // Between the worker and the interface thread.
    std::mutex fShared;
    bool fFirstDone;
    bool fLabelChanged;
    QV_String fRowLabel;
    bool fThreadEnded;
    std::vector<QV_String> fFailures;

private:
    void StartPauseContinue();
    void TakeFormat();
    void Poll();
    void RenderThread();
    RenderSettings& Target();
};

// Row 0's label while its project renders: "name - 50%" halfway through the range.
QV_String BatchProgressLabel(const char* name, int32_t currentFrame, int32_t startFrame, int32_t endFrame);

// The option flags a batch entry keeps, in the order of the window's check boxes.
bool* BatchOptionFlag(RenderSettings& settings, int32_t index);
