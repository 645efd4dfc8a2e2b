#pragma once

#include <cstdint>

#include "qv_arraylist.h"
#include "qv_dialog.h"

class ImageLayer;
class MainLayer;
class QV_CheckBox;
class QV_Message;
class QV_PopupMenu;
class VornDoc;
class VornLayer;

constexpr int32_t kTrackLayerMode = 0;
constexpr int32_t kTrackBoneMode = 1;

// What tracking is asked for: the movie layer and its points by index (-1 for none).
struct MotionTrackingChoice {
    ImageLayer* movie = nullptr;
    int32_t primary = -1;
    int32_t secondary = -1;
    bool angle = false;
    bool scale = false;
};

// The movie layers beside the current layer (same group, or the top level) with at least one
// tracking point, at most 50.
void CollectTrackableMovies(VornDoc* document, QV_ArrayList& list);

// Keys the current layer (layer mode) or its first selected bone (bone mode) from the tracking
// points; true when anything was keyed.
bool ApplyMotionTracking(VornDoc* document, int32_t mode, const MotionTrackingChoice& choice);

// Turns a movie layer's tracking points into keys of the current layer or bone.
class MotionTrackingDlog : public QV_Dialog {
public:
    MotionTrackingDlog(VornDoc* document, QV_Wnd* owner, int32_t mode);
    ~MotionTrackingDlog() override;
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;

    // The dialog's choice as its popups and boxes show it.
    MotionTrackingChoice Choice() const;

    int32_t fMode;
    VornDoc* fDocument;
    VornLayer* fLayer;
    QV_ArrayList fMovies;
    QV_PopupMenu* fMoviePopup;
    QV_PopupMenu* fFirstPopup;
    QV_PopupMenu* fSecondPopup;
    QV_CheckBox* fAngle;
    QV_CheckBox* fScale;

private:
    void FillPointPopups(int32_t movieIndex);
    void UpdateChecks();
};

int32_t RunMotionTrackingDlog(VornDoc* document, QV_Wnd* owner, int32_t mode);

// Track Layer Motion (3209) and Track Bone Motion (3176) of the main layer; 0 for other commands.
int32_t RunMotionTrackingCommand(MainLayer* layer, int32_t command, QV_Message* message);
