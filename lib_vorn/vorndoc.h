#pragma once

#include <cstdint>

#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"
#include "eps_parser.h"
#include "qv_arraylist.h"
#include "qv_color.h"
#include "qv_matrix.h"
#include "qv_path.h"
#include "qv_string.h"
#include "qv_vector.h"

class M_Mesh;
class M_Style;
class QV_FileStream;
class QV_IoStream;
class QV_MemStream;
class QV_View;
class VornLayer;

// The one document that the main window owns while a file is open: camera channels, project
// settings, shared styles, the layer tree with its drawing order, the selection, the undo
// history and four remembered outside views of the canvas views.
//
// Its operations are spread over files by concern: vorndoc.cpp (construction, the layer list,
// selection), vorndoc_time.cpp (frames, durations, timecodes, settings), vorndoc_depth.cpp
// (depth sort and outside views), vorndoc_styles.cpp, vorndoc_media.cpp and vorndoc_eps.cpp.
class VornDoc {
public:
    static constexpr int32_t kUndoLevels = 32;
    static constexpr int32_t kUndoObjects = 256;
    static constexpr int32_t kViewSlots = 4;
    // The focus of a new document; a stored focus that cannot be used is replaced by it.
    static constexpr float kDefaultFocusDistance = 2;
    static constexpr float kDefaultFocusRange = 1;

    VornDoc();
    // Reads a document from the stream; on failure fReadFailed is set and the stream holds the
    // first error text.
    explicit VornDoc(QV_IoStream* stream);
    ~VornDoc();
    VornDoc(const VornDoc&) = delete;
    VornDoc& operator=(const VornDoc&) = delete;

    // The defaults of a new document. Only for a new object: layers and styles are not touched.
    void Reset();

    // The document file (vorndoc_file.cpp). Write always writes the current format at frame 0;
    // comment may be null.
    void Write(const char* comment, QV_IoStream* stream);
    // 0, or -7 when the file could not be written completely: then the old file, fDirty and
    // fVersion stay as they were, and reason (when given) says why: the system's reason, or
    // that the file is read-only.
    int32_t Save(const char* comment, QV_String* reason = nullptr);
    // Into a freshly reset document. False (and fReadFailed) on failure.
    bool Read(QV_IoStream* stream);

    // Undo history (vorndoc_undo.cpp). Null clears it; the level streams stay for reuse.
    void PrepUndo(VornLayer* layer);
    void PrepMultiUndo();
    void Undo();
    void Redo();
    bool CanRedo() const;

    // Layers.
    bool AddLayer(VornLayer* layer);
    void InsertLayer(VornLayer* layer, VornLayer* sibling, bool after);
    // Takes a top-level layer out of the list; the caller owns it then.
    void RemoveLayer(VornLayer* layer);
    int32_t CountLayers() const { return fLayers.fCount; }
    VornLayer* Layer(int32_t index);
    VornLayer* LayerByDepth(int32_t index);
    // Top-level layers only.
    VornLayer* LayerByName(const char* name);
    void FullDepthSort();
    void DepthSort();

    // Selection.
    VornLayer* GetSelectedLayer() const { return fSelLayer; }
    void SetSelLayer(VornLayer* layer);
    void ClearSecondarySelection();
    int32_t CountSelectedLayers();

    // Shared styles.
    M_Style* Style(int32_t index);
    M_Style* FindStyle(const char* name);
    // The document takes ownership.
    int32_t AddStyle(M_Style* style);
    // The document gives up ownership; the caller deletes the style.
    void RemoveStyle(M_Style* style);
    // Null: every top-level layer.
    void ResolveStyleRefs(VornLayer* layer);
    void RenameStyle(const char* oldName, const char* newName);
    bool IsStyleUsed(M_Style* style);

    // Time.
    void SetCurFrame(int32_t frame);
    int32_t CurFrame() const { return fCurFrame; }
    int32_t AnimDuration();
    // The play range's end; up to the last keyframe when it is 0 or less.
    int32_t EndFrame();
    int32_t StartFrame() const { return fStartFrame; }
    void SetStartFrame(int32_t frame) { fStartFrame = frame; }
    void SetEndFrame(int32_t frame) { fEndFrame = frame; }
    void ClearAnimation();
    // "hh:mm:ss:ff" at the document's frame rate.
    void FrameToTimecode(int32_t frame, QV_String& text);
    // -1 when the text holds no number.
    int32_t TimecodeToFrame(const char* text);

    // Project settings. The setters refuse what would later divide by zero or go non-finite:
    // a frame rate of 0 or less, dimensions below 1, a focus range whose far limit
    // (distance + range / 2) is not beyond the eye.
    float Fps() const { return fFps; }
    bool SetFps(float fps);
    int32_t Width() const { return fWidth; }
    int32_t Height() const { return fHeight; }
    bool SetShape(int32_t width, int32_t height);
    float AspectRatio() const;
    bool SetFocus(float distance, float range);
    // The depth-of-field preferences of new documents.
    void ApplyDepthOfFieldDefaults();

    const QV_Path& Path() const { return fPath; }
    const QV_String& Name() const { return fName; }
    void SetPath(const char* path);
    void SetDirty() { fDirty = true; }

    // Outside views.
    void SetCurrentView(QV_View* view);
    void EnableOutsideView(bool on);
    bool GetOutsideView(QV_Vector3& center, float& pitch, float& yaw, float& distance) const;
    bool IsOutsideViewEnabled() const { return fOutsideViewOn[fViewSlot]; }
    void GetOutsideViewMatrix(QV_Matrix& matrix) const;

    // Media layers. Null layer: the list is emptied and the walk starts at the top level.
    void CollectAudioLayers(QV_ArrayList& list, VornLayer* layer);
    // The image layers showing movies, depth-first in list order (null layer: the whole document).
    void CollectMovieLayers(QV_ArrayList& list, VornLayer* layer);
    // Mixes the audible audio layers of the frame range into a 44.1 kHz 16-bit stereo WAV
    // file. False with nothing written: no audio layer, an empty range, memory or the file
    // failing (a half-written file is never left at the path).
    bool MixdownAudio(int32_t start, int32_t end, const char* path);
    // An older file's soundtrack as a new top-level audio layer named after the file; false
    // only when the layer cannot be had.
    bool SoundtrackToAudioLayer();

    // Imports an EPS or Illustrator file as a new vector layer, centred with its larger side
    // spanning 2 units; progress (1, 0) when the file cannot be opened, (1, 1) at the end.
    void ImportEPS(const char* path, ImportProgress progress);

    AnimVec3 fCameraTrack;
    AnimVal fCameraZoom;
    AnimVal fCameraRoll;
    AnimVec2 fCameraPanTilt;
    // The current editing tool's script name; empty with none.
    QV_String fCurrentTool;
    int32_t fWidth;
    int32_t fHeight;
    int32_t fStartFrame;
    int32_t fEndFrame;
    float fFps;
    rgb_color fBackColor;
    int32_t fNoiseGrain;
    bool fAllow3D;
    bool fDepthSort;
    bool fDistanceSort;
    bool fDepthOfField;
    float fFocusDistance;
    float fFocusRange;
    float fMaxBlur;
    float fStereoSeparation;
    bool fExtraSwfFrame;
    QV_Path fSoundtrack;
    // Owned M_Style pointers, in creation order.
    QV_ArrayList fStyles;
    // Owned top-level layers, index 0 at the bottom.
    QV_ArrayList fLayers;
    bool fReadFailed;
    int32_t fVersion;
    bool fDirty;
    int32_t fCurFrame;
    QV_Path fPath;
    QV_String fName;
    VornLayer* fSelLayer;
    // The top-level layers in drawing order, index 0 drawn first.
    QV_ArrayList fDepthLayers;
    QV_ArrayList fSelectedLayers;
    int32_t fUndoLevel;
    VornLayer* fUndoObjects[kUndoLevels][kUndoObjects];
    QV_MemStream* fUndoStreams[kUndoLevels];
    QV_MemStream* fRedoStream;
    QV_View* fCurrentView;
    int32_t fViewSlot;
    QV_View* fSlotViews[kViewSlots];
    bool fOutsideViewOn[kViewSlots];
    float fOutsidePitch[kViewSlots];
    float fOutsideYaw[kViewSlots];
    float fOutsideDistance[kViewSlots];
    QV_Vector3 fOutsideCenter[kViewSlots];

private:
    bool ReadBody(QV_IoStream* stream);
    // A file of the older generation, read through the converter its reader installs.
    bool ReadConverted(QV_FileStream* stream);
    // Level 0 goes; the others move down one level, the freed stream lands on level 31.
    void DropOldestUndoLevel();
    // A new level naming the layers; the redo levels above it go.
    void PrepLevel(VornLayer* const* objects, int32_t count);
    void WriteSnapshot(int32_t level, QV_MemStream* stream);
    void ReadSnapshot(int32_t level, QV_MemStream* stream);
};

// Destroys and frees a document.
void DeleteDocument(VornDoc* doc);

// The document's eye and view direction for depth sorting (the outside view of the current
// slot when it is on, else the camera); without a document the default camera looking along -Z.
void DepthSortViewer(VornDoc* doc, QV_Vector3& eye, QV_Vector3& direction);
