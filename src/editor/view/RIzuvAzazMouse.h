#pragma once
// Mouse handling of the editor control: clicks, drag selection, word and
// margin-line selection, column blocks with Alt, drag and drop of the
// selection, and the auto-scroll steps while the pointer is outside. It is
// Qt-free like the keyboard; the widget supplies cursors, the timer that
// drives the auto-scroll steps and the context menu through the hooks.
#include "editor/highlight/Highlighter.h"
#include "editor/view/RIzuvAzazKeyboard.h"
#include "editor/view/RIzuvAzazScroll.h"

#include <cstdint>
#include <functional>
#include <utility>

namespace lorvane {

enum class TCursorShape : std::uint8_t {
    Normal,     // the control's own cursor (the I-beam)
    Arrow,      // over the selection, where a drag may start
    RightArrow, // over the left margin: "RZRIGHTARROW"
    DragMove,
    DragCopy, // "DRAGCOPY"
    NoDrop,
};

enum class TMouseButton : std::uint8_t { Left, Right, Middle };

class TMouse {
public:
    TMouse(TInputTarget& target, TKeyboard& keyboard, TScroller& scroller);
    TMouse(const TMouse&) = delete;
    TMouse& operator=(const TMouse&) = delete;

    // Hooks to the widget and the host.
    std::function<void(TCursorShape)> SetCursor;
    std::function<void()> AutoScrollChanged; // Direction() or Speed() changed
    std::function<void(int x, int y)> ShowContextMenu;
    std::function<void()> TakeFocus;
    std::function<void(std::int32_t context, std::int32_t start, std::int32_t stop)> OnContext;
    // The control's highlighter, told of clicks on context items.
    std::function<THighlighter*()> Highlighter;
    std::function<void(TMouseButton, TShiftState, int x, int y)> OnMouseDown, OnMouseUp;
    std::function<void(TShiftState, int x, int y)> OnMouseMove;
    std::function<void()> OnDblClick;

    void MouseMove(TShiftState shift, int x, int y);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void DoubleClick(int x, int y);

    // One step of the auto-scroll loop; the widget calls it after
    // AutoScrollDelay() milliseconds while Direction() is not 0.
    void AutoScrollStep();
    // 0 none, 1 up, 2 down, 3 left, 4 right.
    int Direction() const noexcept { return direction_; }
    int Speed() const noexcept { return speed_; }
    int AutoScrollDelay() const noexcept;

    bool Dragging() const noexcept { return dragging_; }
    bool Selecting() const noexcept { return selecting_; }
    std::int32_t MarginLine() const noexcept { return marginLine_; }
    std::int32_t WordStart(std::int32_t pos);
    std::int32_t WordEnd(std::int32_t pos);

private:
    void Locate(int x, int y);
    void Hover(int x);
    void Cursor(TCursorShape shape);
    bool InsideSelection(std::int32_t pos, bool inclusiveStop);
    void MarginSelect();
    void ExtendTo(int x);
    void Drop(bool copy);
    bool ContextClick(TMouseButton button);
    std::pair<std::int32_t, std::int32_t> ItemExtent();

    TInputTarget& t_;
    RIzuvAzazModel& m_;
    TKeyboard& kb_;
    TScroller& scroller_;
    TNavigator nav_; // the position under the pointer
    TNavigator work_;
    std::int32_t pressPos_ = 0;
    std::int32_t wordStart_ = 0, wordStop_ = 0;
    bool selecting_ = false;
    bool wordMode_ = false;
    bool overSelection_ = false;
    bool dragging_ = false;
    bool dragOutside_ = false;
    bool marginPress_ = false;
    std::int32_t marginLine_ = -1;
    TCursorShape cursor_ = TCursorShape::Normal;
    int direction_ = 0;
    int speed_ = 0;
    int lastX_ = 0, lastY_ = 0;
};

} // namespace lorvane
