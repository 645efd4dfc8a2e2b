#pragma once

#include "swf_character.h"
#include "swf_fill.h"

#include <vector>

// A vector shape: pen moves, straight and quadratic edges in absolute pixels, with the line
// style and right fill chosen before the edges they apply to. Edges longer than one record can
// carry are split.
class SwfShape : public SwfCharacter {
public:
    ~SwfShape() override;

    // The fill belongs to the shape; the answer carries one more reference for the caller.
    SwfFill* AddFill(SwfFill* fill);
    void SetRightFill(SwfFill* fill);
    // A width of 0 pixels or less means no line.
    void SetLine(float widthPixels, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

    void MovePenTo(float x, float y);
    void LineTo(float x, float y);
    void CurveTo(float cx, float cy, float ax, float ay);
    // Nothing is drawn after the end.
    void End() { fEnded = true; }

    void WriteDefinition(SwfDefiner& definer, uint16_t id) override;

private:
    enum RecordKind : uint8_t { kStyle, kLine, kCurve };
    struct Record {
        RecordKind fKind;
        bool fMove, fNewFill, fNewLine;
        uint16_t fFill, fLine;
        int32_t fX, fY, fX2, fY2;  // move target or deltas
    };
    struct LineStyle {
        uint16_t fWidth;
        uint8_t fColor[4];
    };

    void FlushStyle(bool move, int32_t x, int32_t y);
    void AddLine(int32_t x, int32_t y);
    void AddCurve(int32_t cx, int32_t cy, int32_t ax, int32_t ay);
    void Extend(int32_t x, int32_t y);

    std::vector<SwfFill*> fFills;
    std::vector<LineStyle> fLines;
    std::vector<Record> fRecords;
    uint16_t fFill = 0, fLine = 0;
    uint16_t fWrittenFill = 0, fWrittenLine = 0;
    int32_t fPenX = 0, fPenY = 0;
    int32_t fMinX = 0, fMaxX = 0, fMinY = 0, fMaxY = 0;
    bool fHasBounds = false;
    bool fEnded = false;
};
