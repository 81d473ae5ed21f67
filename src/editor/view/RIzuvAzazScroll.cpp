#include "editor/view/RIzuvAzazScroll.h"

#include <algorithm>
#include <cstdint>

namespace lorvane {

void TScroller::VScroll(TScrollCode code, int position) {
    RIzuvAzazModel& m = t_.Model();
    if (m.UpdateCount() > 0) return;
    const int lh = std::max(1, t_.LineHeight());
    const int v = t_.VerticalOffset(), h = t_.HorizontalOffset();
    const std::int32_t top = v / lh;
    const std::int32_t visible = t_.VisibleLines();
    switch (code) {
    case TScrollCode::LineUp:
        if (v > 0) t_.ScrollTo(v % lh != 0 ? top * lh : (top - 1) * lh, h);
        break;
    case TScrollCode::LineDown:
        if (top < m.LineCount() - visible + 2) t_.ScrollTo((top + 1) * lh, h);
        break;
    case TScrollCode::PageUp: {
        const std::int32_t line = std::max(top - visible + 2, 0);
        m.SeekDisplayLine(work_, line);
        const std::int32_t from = work_.ParagraphIndex();
        work_.SetLineNumber(top);
        m.LayoutRange(from, work_.ParagraphIndex() - 1, false);
        t_.ScrollTo(line * lh, h);
        break;
    }
    case TScrollCode::PageDown:
        t_.ScrollTo(std::min(top + visible - 1, std::max(0, m.LineCount() - visible + 2)) * lh, h);
        break;
    case TScrollCode::ThumbTrack: {
        const std::int64_t pixels =
            static_cast<std::int64_t>(position & 0xFFFF) * std::max(1, t_.VerticalScrollUnit());
        if (m.HasOption(rzoNoFineScroll))
            t_.ScrollTo(static_cast<int>((pixels + lh / 2) / lh * lh), h);
        else
            t_.ScrollTo(static_cast<int>(std::min<std::int64_t>(pixels, INT32_MAX)), h);
        break;
    }
    default:
        return;
    }
    t_.RepaintNow();
}

void TScroller::HScroll(TScrollCode code, int position) {
    if (t_.Model().UpdateCount() > 0) return;
    const int cw = t_.ClientWidth();
    const int v = t_.VerticalOffset(), h = t_.HorizontalOffset();
    switch (code) {
    case TScrollCode::LineUp:
        t_.ScrollTo(v, std::max(h - cw / 20 - 1, 0));
        break;
    case TScrollCode::LineDown:
        t_.ScrollTo(v, h + cw / 20 + 1);
        break;
    case TScrollCode::PageUp:
        t_.ScrollTo(v, std::max(h + cw / 20 - cw, 0));
        break;
    case TScrollCode::PageDown:
        t_.ScrollTo(v, h + cw - cw / 20);
        break;
    case TScrollCode::ThumbTrack:
        t_.ScrollTo(v, (position & 0xFFFF) * std::max(1, t_.HorizontalScrollUnit()));
        break;
    default:
        return;
    }
    t_.RepaintNow();
}

void TScroller::Wheel(int delta, int factor) {
    wheel_ += static_cast<std::int16_t>(delta) * factor;
    SpendWheel(wheel_, true);
}

void TScroller::HorizontalWheel(int delta, int factor) {
    hWheel_ += static_cast<std::int16_t>(delta) * factor;
    SpendWheel(hWheel_, false);
}

// One line step for every whole notch (120) the accumulator holds; the
// rest waits for the next event.
void TScroller::SpendWheel(int& accumulator, bool vertical) {
    const auto step = [&](TScrollCode code) { vertical ? VScroll(code) : HScroll(code); };
    while (accumulator < -119) {
        step(TScrollCode::LineDown);
        accumulator += 120;
    }
    while (accumulator >= 120) {
        step(TScrollCode::LineUp);
        accumulator -= 120;
    }
}

} // namespace lorvane
