#include "editor/view/RIzuvAzazMouse.h"

#include <algorithm>
#include <climits>
#include <string>

namespace lorvane {

namespace {

constexpr std::int32_t kMaxDropText = 2147483547;

} // namespace

TMouse::TMouse(TInputTarget& target, TKeyboard& keyboard, TScroller& scroller)
    : t_(target), m_(target.Model()), kb_(keyboard), scroller_(scroller), nav_(&m_), work_(&m_) {}

void TMouse::Cursor(TCursorShape shape) {
    if (cursor_ == shape) return;
    cursor_ = shape;
    if (SetCursor) SetCursor(shape);
}

// Puts the mouse navigator on the character boundary nearest to (x, y).
void TMouse::Locate(int x, int y) {
    const int lh = std::max(1, t_.LineHeight());
    const std::int32_t top = t_.VerticalOffset() / lh;
    std::int32_t line = std::max(t_.YToLine(y) + top, 0);
    if (y < 0) line = std::max(top + (y - lh + 1) / lh, 0);
    if (line >= top + t_.VisibleLines()) line = top + t_.VisibleLines() - 1;
    const std::int32_t last = m_.LineCount() - 1;
    const bool below = line >= last && y >= (last + 1) * lh - t_.VerticalOffset();
    line = std::min(line, last);
    m_.SeekDisplayLine(nav_, line);
    if (below) {
        nav_.SetPosition(m_.TextLength());
        return;
    }
    const std::int32_t column =
        t_.XToPos(nav_.Paragraph(), nav_.ParagraphIndex(),
                  m_.HasOption(rzoKeepColumnPos) || t_.BlockSelection(), x, nav_.LineInParagraph());
    const LineInfo* info = nav_.Lines().At(nav_.LineInParagraph());
    nav_.SetPosition(m_.StartAt(nav_.ParagraphIndex()) + info->start +
                     std::clamp(column, 0, info->end - info->start));
}

bool TMouse::InsideSelection(std::int32_t pos, bool inclusiveStop) {
    const std::int32_t a = m_.SelStartNavigator().Position();
    const std::int32_t b = m_.SelStopNavigator().Position();
    return a != b && pos >= a && (inclusiveStop ? pos <= b : pos < b);
}

// ---- Move ----

void TMouse::MouseMove(TShiftState shift, int x, int y) {
    lastX_ = x;
    lastY_ = y;
    if (m_.UpdateCount() > 0) {
        if (OnMouseMove) OnMouseMove(shift, x, y);
        return;
    }
    const int cw = t_.ClientWidth(), ch = t_.ClientHeight();
    const int lh = std::max(1, t_.LineHeight());
    if (selecting_) {
        // Below the text nothing scrolls: the pointer counts as on the last line.
        const int bottom = m_.LineCount() * lh - t_.VerticalOffset();
        if (y >= bottom) y = bottom - 1;
    }
    Locate(x, y);

    if (!selecting_) {
        Hover(x);
    } else {
        int direction = 0, speed = 0;
        const bool verticalAllowed = !dragging_ || (x >= -3 && x <= cw + 3);
        const int reach = dragging_ ? 27 : INT32_MAX;
        if (x < 0 && -x < reach) direction = 3, speed = -x / 3;
        if (x > cw && x - cw < reach) direction = 4, speed = (x - cw) / 3;
        if (verticalAllowed && y < -3 && -y < reach) direction = 1, speed = -y / 3;
        if (verticalAllowed && y > ch && y - ch < reach) direction = 2, speed = (y - ch) / 3;
        const bool changed = direction != direction_ || speed != speed_;
        direction_ = direction;
        speed_ = speed;
        if (changed && AutoScrollChanged) AutoScrollChanged();

        if (marginPress_) {
            MarginSelect();
        } else if (dragging_) {
            if ((x < 1 || y < 1 || x > cw || y > ch) && direction_ == 0) {
                if (!dragOutside_) Cursor(TCursorShape::NoDrop);
                dragOutside_ = true;
            } else {
                dragOutside_ = false;
                Cursor((shift & ssCtrl) ? TCursorShape::DragCopy : TCursorShape::DragMove);
            }
        } else {
            ExtendTo(x);
        }
    }
    if (OnMouseMove) OnMouseMove(shift, x, y);
}

// What lies under a pointer that no button holds: the margin, the
// selection (where a drag may start) or plain text.
void TMouse::Hover(int x) {
    if (x < m_.LeftMargin() - 2 - t_.HorizontalOffset() && !m_.HasOption(rzoNoLineSelection)) {
        marginLine_ = nav_.LineNumber();
        overSelection_ = false;
        Cursor(TCursorShape::RightArrow);
        return;
    }
    marginLine_ = -1;
    overSelection_ = !m_.HasOption(rzoNoDragnDrop) && InsideSelection(nav_.Position(), false) &&
                     !t_.BlockSelection() && !t_.ReadOnly() && !t_.DisplayOnly();
    Cursor(overSelection_ ? TCursorShape::Arrow : TCursorShape::Normal);
}

void TMouse::ExtendTo(int x) {
    const std::int32_t pos = nav_.Position();
    TNavigator& caret = m_.Caret();
    const std::int32_t oldLine = caret.LineNumber();
    if (wordMode_) {
        if (pos >= pressPos_)
            kb_.SelectTo(wordStart_, WordEnd(pos));
        else
            kb_.SelectTo(wordStop_, WordStart(pos));
        t_.InvalidateLines(oldLine, m_.Caret().LineNumber());
        t_.UpdateCaret();
        return;
    }
    kb_.ApplyMove(nav_, caret.Position(), oldLine, true);
    if (t_.BlockSelection()) {
        const int here = kb_.XOf(nav_);
        t_.SetVirtualSpaces(std::max(x - here, 0) / std::max(1, t_.SpaceWidth()));
        t_.SetBlockSelection(t_.BlockLeft(), kb_.BlockColumnOfCaret());
    }
    t_.UpdateCaret();
}

// The press line's selection runs from its start to the start of the next
// display line (the end of the text on the last line), so whole lines are
// taken as the pointer moves up or down from it.
void TMouse::MarginSelect() {
    auto lineSpan = [this](std::int32_t line, std::int32_t& from, std::int32_t& to) {
        m_.SeekDisplayLine(work_, line);
        from = work_.Position();
        if (line + 1 < m_.LineCount()) {
            m_.SeekDisplayLine(work_, line + 1);
            to = work_.Position();
        } else {
            to = m_.TextLength();
        }
    };
    const std::int32_t line = nav_.LineNumber();
    std::int32_t pressFrom = 0, pressTo = 0, from = 0, to = 0;
    lineSpan(marginLine_, pressFrom, pressTo);
    lineSpan(line, from, to);
    const std::int32_t oldLine = m_.Caret().LineNumber();
    if (line < marginLine_)
        kb_.SelectTo(pressTo, from);
    else
        kb_.SelectTo(pressFrom, to);
    t_.InvalidateLines(oldLine, m_.Caret().LineNumber());
    t_.UpdateCaret();
}

// ---- Down, double-click, up ----

void TMouse::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(button, shift, x, y);
    if (TakeFocus) TakeFocus();
    if (button != TMouseButton::Left || m_.UpdateCount() > 0) return;
    shift &= ssModifiers;
    Locate(x, y);
    if (!selecting_) Hover(x);
    t_.EndBlockSelection();
    pressPos_ = nav_.Position();
    t_.SetRememberedX(kNoRememberedX);
    if (t_.DisplayOnly()) return;
    selecting_ = true;
    if (wordMode_) return;
    t_.SetVirtualSpaces(0);
    marginPress_ = false;
    if (overSelection_ && !t_.ReadOnly()) {
        dragging_ = true;
        dragOutside_ = false;
        Cursor((shift & ssCtrl) ? TCursorShape::DragCopy : TCursorShape::DragMove);
        return;
    }
    if (marginLine_ >= 0) {
        marginPress_ = true;
        m_.SeekDisplayLine(work_, marginLine_);
        std::int32_t length = 0;
        const LineInfo* info = work_.Lines().At(work_.LineInParagraph());
        length = info->end - info->start;
        if (work_.LineInParagraph() == work_.Paragraph()->lineCount - 1 &&
            work_.ParagraphIndex() < m_.ParagraphCount() - 1)
            length += 2;
        kb_.SelectTo(work_.Position() + length, work_.Position());
    } else {
        const bool block = shift == ssAlt && m_.HasOption(rzoBlockSelection) && !m_.WordWrap();
        if (block) t_.SetBlockSelection(0, 0);
        std::int32_t spaces = 0;
        if ((m_.HasOption(rzoKeepColumnPos) || block) &&
            (nav_.ParagraphOffset() >= nav_.Paragraph()->length || nav_.CharAt() == '\t'))
            spaces = std::max(x - kb_.XOf(nav_), 0) / std::max(1, t_.SpaceWidth());
        if (shift & ssShift) {
            const std::int32_t oldLine = m_.Caret().LineNumber();
            kb_.ApplyMove(nav_, m_.Caret().Position(), oldLine, true);
        } else {
            m_.SetSelStart(nav_.Position());
        }
        t_.SetVirtualSpaces(spaces);
    }
    m_.EndTypingGroup();
    t_.UpdateCaret();
    if (t_.BlockSelection()) {
        const std::int32_t column = kb_.BlockColumnOfCaret();
        t_.SetBlockSelection(column, column);
    }
}

std::int32_t TMouse::WordStart(std::int32_t pos) {
    auto isBreak = [this](unsigned char c) { return c == '\r' || c == '\n' || m_.IsSeparator(c); };
    work_.SetPosition(pos);
    while (work_.Position() > 0 && (work_.Position() == m_.TextLength() || isBreak(work_.CharAt())))
        work_.SetPosition(work_.Position() - 1);
    while (work_.Position() > 0) {
        work_.SetPosition(work_.Position() - 1);
        if (isBreak(work_.CharAt())) {
            work_.SetPosition(work_.Position() + 1);
            break;
        }
    }
    return work_.Position();
}

std::int32_t TMouse::WordEnd(std::int32_t pos) {
    const std::int32_t length = m_.TextLength();
    work_.SetPosition(pos);
    while (work_.Position() < length) {
        const unsigned char c = work_.CharAt();
        if (c == '\r' || c == '\n' || m_.IsSeparator(c)) break;
        work_.SetPosition(work_.Position() + 1);
    }
    if (m_.HasOption(rzoLargeWordSelect))
        while (work_.Position() < length && m_.IsSeparator(work_.CharAt()))
            work_.SetPosition(work_.Position() + 1);
    return work_.Position();
}

void TMouse::DoubleClick(int x, int y) {
    if (!t_.DisplayOnly()) {
        Locate(x, y);
        wordMode_ = true;
        const std::int32_t pos = m_.SelStart();
        wordStart_ = WordStart(pos);
        wordStop_ = WordEnd(pos);
        const std::int32_t oldLine = m_.Caret().LineNumber();
        kb_.SelectTo(wordStart_, wordStop_);
        t_.InvalidateLines(oldLine, m_.Caret().LineNumber());
        t_.SetVirtualSpaces(0);
        t_.UpdateCaret();
    }
    if (OnDblClick) OnDblClick();
}

void TMouse::Drop(bool copy) {
    std::string text = m_.SelText();
    if (text.size() > static_cast<std::size_t>(kMaxDropText)) text.resize(kMaxDropText);
    // The mouse navigator is shifted by the deletion like every navigator,
    // so it still marks the drop point afterwards.
    const std::int32_t records = m_.UndoRecords().Level();
    m_.EndTypingGroup();
    m_.BeginUpdate();
    try {
        if (copy) {
            m_.SetSelStart(m_.SelStart());
        } else {
            t_.SetSelText({});
        }
        const std::int32_t drop = nav_.Position();
        m_.SetSelStart(drop);
        t_.SetVirtualSpaces(0);
        t_.SetSelText(text);
        // The deletion, the insertion and the code pairs either removes: one step.
        if (!copy) m_.GroupUndoSince(records);
        m_.SetSelStart(drop);
        m_.SetSelLength(static_cast<std::int32_t>(text.size()));
    } catch (...) {
        m_.EndUpdate();
        throw;
    }
    m_.EndUpdate();
}

bool TMouse::ContextClick(TMouseButton button) {
    THighlighter* highlighter = Highlighter ? Highlighter() : nullptr;
    if ((!OnContext && !highlighter) || nav_.Position() >= m_.TextLength()) return false;
    const AttrInfo& state = nav_.CurrentState();
    if (!(state.flags & 0x80) || state.context == 0) return false;
    const std::int32_t context = state.context;
    const auto [from, to] = ItemExtent();
    if (highlighter)
        highlighter->ContextClick(context, m_.GetTextRange(from, to),
                                  button == TMouseButton::Right);
    if (OnContext) OnContext(context, from, to);
    return true;
}

namespace {

// Whether two states are the same highlighted item (a range goes on into
// the next paragraph as that paragraph's start state).
bool SameItem(const AttrInfo& a, const AttrInfo& b) noexcept {
    if (&a == &b) return true;
    if ((a.flags & 0xC0) != (b.flags & 0xC0) || a.level != b.level || a.context != b.context)
        return false;
    return a.level < 0 || a.level > 15 || a.stack[a.level] == b.stack[b.level];
}

} // namespace

// The item under the mouse navigator runs from the entry that put its state
// in force to the next entry, across paragraph ends while the range goes
// on; a range that is never closed runs to the end of the text.
std::pair<std::int32_t, std::int32_t> TMouse::ItemExtent() {
    const AttrInfo& state = nav_.CurrentState();
    const std::int32_t at = nav_.ParagraphIndex();
    const std::int32_t offset = nav_.ParagraphOffset();
    const auto offsetOf = [](const AttrInfo& e) {
        return static_cast<std::int32_t>(e.offsetOrRefs);
    };

    std::int32_t from = -1;
    for (std::int32_t i = at, limit = offset; from < 0; --i, limit = INT32_MAX) {
        const ParagraphInfo* p = m_.ParagraphAt(i);
        for (std::int32_t k = p->entryCount - 1; k >= 0 && from < 0; --k)
            if (offsetOf(p->entries[k]) <= limit)
                from = SameItem(p->entries[k], state) ? m_.StartAt(i) + offsetOf(p->entries[k])
                                                      : m_.StartAt(i + 1);
        if (from >= 0) break;
        if (i == 0 || !SameItem(*p->startContext, state)) from = m_.StartAt(i);
    }

    std::int32_t to = -1;
    for (std::int32_t i = at, after = offset; to < 0; ++i, after = -1) {
        // Paragraphs below the view may not be highlighted yet.
        if (!m_.ParagraphAt(i)->laidOut) m_.LayoutRange(i, i, false);
        const ParagraphInfo* p = m_.ParagraphAt(i);
        for (std::int32_t k = 0; k < p->entryCount && to < 0; ++k)
            if (offsetOf(p->entries[k]) > after) to = m_.StartAt(i) + offsetOf(p->entries[k]);
        if (to >= 0) break;
        if (i + 1 >= m_.ParagraphCount()) {
            to = m_.TextLength();
        } else if (!SameItem(*m_.ParagraphAt(i + 1)->startContext, state)) {
            to = m_.StartAt(i) + p->length;
        }
    }
    return {from, to};
}

void TMouse::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (wordMode_) t_.UpdateCaret();
    const bool wasSelecting = selecting_;
    selecting_ = false;
    wordMode_ = false;
    marginPress_ = false;
    if (direction_ != 0) {
        direction_ = 0;
        speed_ = 0;
        if (AutoScrollChanged) AutoScrollChanged();
    }
    if (dragging_) {
        dragging_ = false;
        Cursor(TCursorShape::Normal);
        Locate(x, y);
        if (!dragOutside_) {
            if (!InsideSelection(nav_.Position(), true))
                Drop(shift & ssCtrl);
            else
                m_.SetSelStart(nav_.Position());
        }
        t_.UpdateCaret();
        t_.ScrollInView();
        MouseMove(shift & ~ssLeft, x, y);
        if (OnMouseUp) OnMouseUp(button, shift, x, y);
        return;
    }
    Locate(x, y);
    if ((button == TMouseButton::Left && wasSelecting && nav_.Position() == pressPos_) ||
        button == TMouseButton::Right) {
        if (ContextClick(button)) {
            if (OnMouseUp) OnMouseUp(button, shift, x, y);
            return;
        }
    }
    if (OnMouseUp) OnMouseUp(button, shift, x, y);
    if (button == TMouseButton::Right && ShowContextMenu) ShowContextMenu(x, y);
    if (!t_.DisplayOnly()) t_.ScrollInView();
}

// ---- Auto-scroll ----

int TMouse::AutoScrollDelay() const noexcept {
    static constexpr int kDelays[] = {0, 400, 300, 200, 130, 78, 48, 30};
    return speed_ >= 0 && speed_ < 8 ? kDelays[speed_] : 0;
}

void TMouse::AutoScrollStep() {
    if (direction_ == 0 || !selecting_) return;
    const int lh = std::max(1, t_.LineHeight());
    const std::int32_t top = t_.VerticalOffset() / lh;
    const int cw = t_.ClientWidth(), ch = t_.ClientHeight();
    int x = lastX_, y = lastY_;
    switch (direction_) {
    case 1:
        if (top > 0) scroller_.VScroll(TScrollCode::LineUp);
        y = -speed_ * 3;
        break;
    case 2:
        if (top <= m_.LineCount() - t_.VisibleLines()) scroller_.VScroll(TScrollCode::LineDown);
        y = ch + speed_ * 3;
        break;
    case 3:
        if (t_.HorizontalOffset() > 0) scroller_.HScroll(TScrollCode::LineUp);
        x = -speed_ * 3;
        break;
    case 4:
        if (m_.WidestLine() - cw > t_.HorizontalOffset()) scroller_.HScroll(TScrollCode::LineDown);
        x = cw + speed_ * 3;
        break;
    default:
        break;
    }
    MouseMove(ssLeft, x, y);
}

} // namespace lorvane
