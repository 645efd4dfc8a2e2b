#pragma once
#include <cstdint>

#include "follow_flags.h"
#include "qv_arraylist.h"
#include "qv_base_widget.h"
#include "qv_string.h"

class QV_ScrollBar;

// A scrolling list of text rows from which the user picks one; it posts
// fMessage when the user picks a row by click or key.
class QV_TextList : public QV_BaseWidget {
public:
    explicit QV_TextList(int32_t message, int32_t follow = FOLLOW_LEFT | FOLLOW_TOP);
    ~QV_TextList() override;

    void AddItem(const char* text);
    // Before the first row that sorts after it, byte by byte; equal texts go after.
    void AddItemAlphabetically(const char* text);
    void RemoveItem(int32_t index);
    void RemoveAllItems();
    // Clamps, scrolls the row into view; posts nothing.
    void SetSelItem(int32_t index);
    bool SetSelItem(const char* label);
    void SetItemLabel(int32_t index, const char* text);
    int32_t CountItems() const { return fItems.fCount; }
    // An index out of range answers an empty text.
    const char* GetItem(int32_t index) const;
    int32_t SelItem() const { return fSelItem; }
    // Empty when nothing is selected.
    const char* SelItemLabel() const;

    // Rows x row height + 8 - list height; negative when everything fits.
    int32_t ScrollRange() const;
    int32_t RowHeight() const;
    // The row under the point, or -1 outside the rows, beside them or on the bar.
    int32_t RowAt(int32_t x, int32_t y) const;

    void HandleMessage(QV_Message* message) override;
    void ResizeTo(int32_t width, int32_t height) override;
    void SetSize(int32_t width, int32_t height) override;
    void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight) override;
    void Layout() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    bool AcceptsFocus() override;
    void DrawWidget(QV_Graphics* graphics) override;

    int32_t fMessage;
    int32_t fScrollY;
    int32_t fSelItem;
    QV_ArrayList fItems; // of owned QV_String
    QV_ScrollBar* fScrollBar;

protected:
    // Fits the bar to the rows and keeps fScrollY inside the range.
    void UpdateBar();
    // One row's text, its colour already set; left is where the text starts. Lists that mark
    // some rows (another font, an image) draw them here.
    virtual void DrawRow(QV_Graphics* graphics, int32_t index, int32_t left, int32_t top, int32_t height);

private:
    QV_String* Row(int32_t index) const { return static_cast<QV_String*>(fItems.fItems[index]); }
    void ClampScroll();
};
