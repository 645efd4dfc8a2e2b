#pragma once

#include <cstdint>

#include "qv_rect.h"
#include "qv_string.h"
#include "vornlayer.h"

class QV_Font;
class QV_Graphics;

// A sticky note placed in the scene: one line of text in a small framed box at the layer's
// origin, drawn in screen pixels whatever the layer's scale or rotation. A new note is edit-only,
// so renders leave it out until that flag is cleared. It has no content beyond its text and the
// common layer channels, through which it moves with the animation.
//
// notelayer.cpp holds the fields and the text, notelayer_record.cpp the record,
// notelayer_draw.cpp the box, the editor drawing and the render item.
class NoteLayer : public VornLayer {
public:
    NoteLayer();
    ~NoteLayer() override;

    int32_t LayerType() override;
    // The generic keywords and "note_text"; a text of any length reads.
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    // The layer channels, then the layer script.
    void SetCurFrame(int32_t frame) override;
    // The box in every mode but the edit pass (the origin marker of the current layer) and the
    // onion-skin passes (nothing).
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
        VornLayer* currentLayer, RenderSettings* settings) override;
    int32_t CountRenderItems() override;
    // The box composited onto the target: the fill at half opacity, the frame and text opaque.
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;

    const QV_String& NoteText() const { return fNoteText; }
    // Double quotes are left out: the record stores the text between quotes without escapes.
    void SetNoteText(const char* text);

    // The font of every note: the second interface font, or the matching built-in set while the
    // application has made no interface fonts (tools, tests, batch renders).
    static QV_Font* NoteFont();

    QV_String fNoteText;

private:
    // The box and the text's pen position in screen pixels of the graphics raster, for the
    // layer's local origin under the current transform. False when there is nothing to draw:
    // the origin is behind the eye, or the box misses the raster.
    struct Box {
        QV_Rect rect;
        int32_t textX;
        int32_t textBaseline;
    };
    bool FindBox(const QV_Graphics& graphics, const QV_Font& font, Box& box) const;
};
