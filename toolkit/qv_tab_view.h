#pragma once
#include <cstdint>

#include "qv_string.h"
#include "qv_view.h"

// The message of a tab bar whose tab was clicked.
constexpr int32_t MSG_TAB_CHOSEN = 7001;

// A strip of tabs over a panel showing the page of the selected tab; only
// that page is a child view. Pages belong to the view.
class QV_TabView : public QV_View {
public:
    static constexpr int32_t kMaxTabs = 12;

    QV_TabView();
    ~QV_TabView() override;

    QV_Point PreferredSize() override;
    void Layout() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Draw() override;

    // Takes the page; a thirteenth tab is ignored (and its page deleted).
    void AddTab(const char* label, QV_View* page);
    // Clamped to the tabs; nothing without tabs.
    void SelectTab(int32_t index);
    // The tab whose inner part holds x, or -1.
    int32_t TabAt(int32_t x) const;
    int32_t TabLeft(int32_t index) const;

    int32_t fSelTab;
    int32_t fTabCount;
    QV_String fTabLabels[kMaxTabs];
    QV_View* fTabPages[kMaxTabs];
    int32_t fTabWidths[kMaxTabs];
    int32_t fTabHeight;
};

// The same strip without pages: a click selects a tab and posts 7001.
class QV_TabBar : public QV_View {
public:
    static constexpr int32_t kMaxTabs = 12;

    QV_TabBar();

    QV_Point PreferredSize() override;
    void Layout() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Draw() override;

    // Width = label width + 16; a thirteenth tab is ignored.
    void AddTab(const char* label);
    void SelectTab(int32_t index);
    int32_t TabAt(int32_t x) const;
    int32_t TabLeft(int32_t index) const;

    int32_t fMessage;
    int32_t fSelTab;
    int32_t fTabCount;
    QV_String fTabLabels[kMaxTabs];
    int32_t fTabWidths[kMaxTabs];
    int32_t fTabHeight;
};
