#pragma once
#include <cstdint>

#include "qv_base_widget.h"

class QV_Font;
#include "qv_string.h"

constexpr int32_t FIELD_TEXT = 0;
constexpr int32_t FIELD_INT = 1;
constexpr int32_t FIELD_FLOAT = 2;
constexpr int32_t FIELD_UINT = 3;
constexpr int32_t FIELD_UFLOAT = 4;
constexpr int32_t FIELD_NODIGITS = 5;
constexpr int32_t FIELD_PASSWORD = 6;
constexpr int32_t FIELD_MULTILINE = 7;

// The editable text field: one line (or, for FIELD_MULTILINE, wrapped lines)
// with a caret, a selection and the clipboard keys. The field type filters
// typed characters; number fields step with the wheel and a right drag. An
// edit is reported by posting fMessage when it is committed (Return, losing
// the focus, paste), never per key unless constant messages are on. The
// caret and the selection ends always lie between whole UTF-8 characters.
class QV_TextControl : public QV_AnimatedWidget {
public:
    QV_TextControl(int32_t width, const char* text, int32_t message, int32_t fieldType);
    ~QV_TextControl() override;

    void SetValue(const char* text);
    void SetValue(int32_t value);
    void SetValue(float value);
    const char* Value() const { return fText.CString(); }
    int32_t IntValue() const;
    float FloatValue() const;
    void SetWheelInc(float increment) { fWheelInc = increment; }
    void SetConstantMessages(bool on) { fConstantMessages = on; }
    void SelectAll();
    void Commit();

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseWheel(float delta, int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    bool AcceptsFocus() override;
    void FocusChanged(bool focused) override;
    bool WantsReturn() override;
    void Tick(QV_Graphics* graphics, int32_t frame, float seconds, float fps) override;
    void DrawWidget(QV_Graphics* graphics) override;

    // The caret position nearest to the point (view coordinates).
    int32_t HitTest(int32_t x, int32_t y);
    QV_Rect TextRect() const;

    int32_t fBlinkPhase;
    int32_t fScrollX;
    int32_t fCaret;
    int32_t fAnchor;
    int32_t fLastMouseX;
    int32_t fLastMouseY;
    int32_t fFieldType;
    float fWheelInc;
    int32_t fMessage;
    bool fConstantMessages;
    QV_String fText;
    QV_String fCommittedText;

private:
    // One wrapped line of a multi-line field: bytes [start, end).
    struct Line {
        int32_t start;
        int32_t end;
    };

    bool Accepts(uint32_t code) const;
    void TypeCharacter(uint32_t code);
    void DeleteSelection();
    void DeleteAround(bool backwards);
    void InsertBytes(const char* bytes);
    void Settle();
    // What is drawn: the text, or one '*' per character of a password.
    QV_String DisplayText() const;
    // A byte position of fText as a byte position of the display text.
    int32_t DisplayOffset(int32_t position) const;
    void DrawOneLine(QV_Graphics* graphics);
    void DrawLines(QV_Graphics* graphics);
    int32_t LayoutLines(Line* lines, int32_t capacity) const;
    int32_t HitTestOneLine(int32_t x);
    int32_t HitTestLines(int32_t x, int32_t y);

    // The first half of a character beyond U+FFFF, typed as two UTF-16 units.
    uint32_t fPendingHighSurrogate = 0;
};

// Pixel width of the bytes [start, end) of the text in the font.
int32_t TextWidth(QV_Font* font, const QV_String& text, int32_t start, int32_t end);
// The text of a number as a field of the type shows it.
QV_String FormatFieldNumber(float value, int32_t fieldType);
