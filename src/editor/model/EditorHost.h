#pragma once
// What the text model asks of the window that shows it. The widget
// implements it; the model works without one (no window yet), and tests use
// a recording host.
#include <cstdint>

namespace lorvane {

class TEditorHost {
public:
    virtual ~TEditorHost() = default;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    // Display lines [first, last] need repainting; last = -1 means to the end.
    virtual void InvalidateLines(std::int32_t first, std::int32_t last) = 0;
    // The line count changed by `delta` above the view; the widget keeps the
    // first visible line in place and updates its scroll ranges.
    virtual void LinesShifted(std::int32_t firstChangedLine, std::int32_t delta) = 0;
    virtual void UpdateScrollRanges() = 0;
    // Asks for BackgroundSlice to be called once from the event loop.
    virtual void PostBackgroundSlice() = 0;
    virtual void UpdateCaret() = 0;
    virtual void ScrollCaretIntoView() = 0;
};

} // namespace lorvane
