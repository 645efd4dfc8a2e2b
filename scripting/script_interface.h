#pragma once

#include <cstdint>

#include "qv_arraylist.h"

class M_Mesh;
class M_Shape;
class QV_TextList;
struct QV_Vector3;
struct QV_Vector2;
class M_Skeleton;
class QV_FileLister;
class VornDoc;
class VornLayer;
class VornView;

// The context of one script call, the first argument of every tool, menu and layer script
// callback. Built for exactly one call and destroyed after it; the counts are cached for that
// call only.
class ScriptInterface {
public:
    // The view may be null (layer scripts have none).
    ScriptInterface(VornDoc* doc, VornView* view);
    ~ScriptInterface();
    ScriptInterface(const ScriptInterface&) = delete;
    ScriptInterface& operator=(const ScriptInterface&) = delete;

    int32_t CountPoints();
    int32_t CountSelectedPoints(bool recount);
    int32_t CountCurves();
    int32_t CountEdges();
    int32_t CountSelectedEdges(bool recount);
    int32_t CountShapes();
    int32_t CountSelectedShapes(bool recount);
    int32_t CountBones();
    int32_t CountSelectedBones(bool recount);

    // The mesh of fLayer when it is a vector layer, the skeleton when it is a bone or switch
    // layer; else null.
    M_Mesh* Mesh() const;
    M_Skeleton* Skeleton() const;

    // Layers (script_layers.cpp). The layer arguments must belong to fDoc.
    // Null for a kind this program does not hold yet, with a console line.
    VornLayer* CreateNewLayer(int32_t type);
    VornLayer* DuplicateLayer(VornLayer* layer);
    // Refuses a group that is the layer or lies inside it: the tree would become a cycle.
    void PlaceLayerInGroup(VornLayer* layer, VornLayer* group, bool append);
    // Null for other puts the layer in front of the document's first top-level layer.
    void PlaceLayerBehindAnother(VornLayer* layer, VornLayer* other);

    // Keys the selected points of the mesh at the frame plus the layer's timing offset, where
    // they are now; points bound to bones are keyed where the bones would put them back.
    void AddPointKeyframe(int32_t frame);

    // A shape from the selected edges of the mesh at the frame (a negative frame: the layer
    // frame); the new shape's index, a matching filled shape's index (selected), or -1.
    int32_t CreateShape(bool fill, int32_t frame, bool redraw);

    // Folder listing (script_files.cpp). Begin replaces a listing in progress; the next name
    // is null at the end, which frees the listing.
    void BeginFileListing(const char* folder);
    const char* GetNextFile();

    // A document of the script's own, read from the file; null when it cannot be read. It stays
    // until DestroyScriptDocument (script_documents.cpp).
    VornDoc* LoadDocument(const char* path);

    // The application (script_app_ops.cpp, through ScriptServices()). The click sound, unless
    // audio feedback is off; its player is made on first use and kept.
    void Click();
    // The main layer's copy and paste commands, run before the call returns; nothing without
    // a main window.
    void Copy(M_Mesh* mesh);
    void CopyAlternate(M_Mesh* mesh);
    void Paste();
    void PasteAlternate();
    // The line width a new shape gets from the Style panel, else one pixel.
    float NewShapeLineWidth() const;
    // The text as shapes of the current vector layer at the layer frame.
    void InsertText(const char* text, const char* font, bool oneFill, bool centered, int32_t line);
    // The shape's style to the Style panel (Pick), or the panel's to the shape (Push).
    void PickStyleProperties(M_Shape* shape);
    void PushStyleProperties(M_Shape* shape);
    // Selects the points bound to the first selected bone of the parent bone layer; with no
    // bone selected, nothing of the mesh stays selected.
    void UpdateBonePointSelection();
    void FillInFontList(QV_TextList* list) const;

    // True when the preference keeps drawing tools to frame 0 and the call is at another frame.
    bool DisableDrawingTools() const;
    // Three noise values at v and at v shifted by 16 along x, then along x and z.
    QV_Vector3 NoiseVector(const QV_Vector3& v, float amplitude, float frequency) const;
    // The application's folder; the text lives until the next call.
    const char* AppDir() const;

    // Rounds each coordinate in place to the nearest multiple of fGridSize, ties away from zero.
    void SnapToGrid(QV_Vector2* point) const;

    int32_t fFrame;
    int32_t fLayerFrame;
    VornDoc* fDoc;
    VornLayer* fLayer;
    VornView* fView;
    bool fGridOn;
    float fGridSize;
    // -1: not counted yet.
    int32_t fPointCount;
    int32_t fSelPointCount;
    int32_t fCurveCount;
    int32_t fEdgeCount;
    int32_t fSelEdgeCount;
    int32_t fShapeCount;
    int32_t fSelShapeCount;
    int32_t fBoneCount;
    int32_t fSelBoneCount;
    QV_ArrayList fAudioLayers; // AudioLayer pointers, not owned
    QV_FileLister* fFileListing;
};

// The canvas calls it when its preview of the selected region finds that the outline does not
// close: a CreateShape with fill that redraws first then makes no new shape.
void NoteOpenOutline();

// Destroys a document that LoadDocument gave and that is still alive; false, with nothing
// done, for any other document (the application's own, or one destroyed already).
bool DestroyScriptDocument(VornDoc* doc);

// Destroys and frees a record built on the heap.
void DeleteScriptInterface(ScriptInterface* record);
