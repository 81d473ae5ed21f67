#pragma once
// Scroll-bar actions and the mouse wheel of the editor control, Qt-free on
// the control's input target.
#include "editor/view/RIzuvAzazKeyboard.h"

#include <cstdint>

namespace lorvane {

enum class TScrollCode : std::uint8_t {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    ThumbPosition,
    ThumbTrack,
    Top,
    Bottom,
    EndScroll
};

class TScroller {
public:
    explicit TScroller(TInputTarget& target) : t_(target), work_(&target.Model()) {}

    // The vertical scroll bar (line up/down doubles as the horizontal
    // bar's line left/right); position is the 16-bit thumb position.
    void VScroll(TScrollCode code, int position = 0);
    void HScroll(TScrollCode code, int position = 0);
    // One wheel event: delta in eighths of a degree (120 a notch) times the
    // factor; remainders carry over to the next event.
    void Wheel(int delta, int factor);
    // A sideways wheel (or Shift with the wheel): positive is to the left;
    // each notch moves as many line steps of the horizontal bar as the
    // vertical wheel moves lines.
    void HorizontalWheel(int delta, int factor);
    int WheelAccumulator() const noexcept { return wheel_; }

private:
    void SpendWheel(int& accumulator, bool vertical);

    TInputTarget& t_;
    TNavigator work_;
    int wheel_ = 0;
    int hWheel_ = 0;
};

} // namespace lorvane
