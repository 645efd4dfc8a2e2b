#pragma once

#include "qv_arraylist.h"
#include "qv_baseimage.h"
#include "qv_string.h"

// A line brush: one image file of the application's brushes folder, kept as loaded and as a
// mask (white, with the alpha taken from the darkness of the image) that strokes are drawn with.
class M_Brush {
public:
    M_Brush();
    ~M_Brush();
    M_Brush(const M_Brush&) = delete;
    M_Brush& operator=(const M_Brush&) = delete;

    // Reads the image file and derives both masks; false when the file cannot be read.
    bool Load(const char* path);

    // The file name with its extension: the key styles find the brush by.
    QV_String fName;
    // Some pixel of the file is not fully opaque.
    bool fHasAlpha;
    QV_BaseImage fImage;
    QV_BaseImage fMask;
    // A second copy of fMask, for the editor view.
    QV_BaseImage fMaskCopy;
};

// Owned M_Brush pointers in the order of the folder listing. The application fills it at start
// and empties it at shutdown.
extern QV_ArrayList gBrushList;

// The first brush whose name equals the text byte for byte, or null.
M_Brush* FindBrush(const char* name);

// Appends a brush for every image file of the folder (by extension) that loads.
void LoadBrushes(const char* folder);
// Deletes every brush and empties the list.
void FreeBrushes();
