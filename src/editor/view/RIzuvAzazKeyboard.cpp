#include "editor/view/RIzuvAzazKeyboard.h"

#include <algorithm>
#include <string>

namespace lorvane {

namespace {

bool IsBlank(unsigned char c) noexcept {
    return c == ' ' || c == '\t';
}

bool IsArrow(std::uint16_t key) noexcept {
    return key >= vk::Left && key <= vk::Down;
}

} // namespace

TKeyboard::TKeyboard(TInputTarget& target) : t_(target), m_(target.Model()), work_(&m_) {}

bool TKeyboard::IsSep(unsigned char c) const noexcept {
    return m_.IsSeparator(c);
}

bool TKeyboard::IsBreak(unsigned char c) const noexcept {
    return c == '\r' || c == '\n' || m_.IsSeparator(c);
}

void TKeyboard::Step(TNavigator& nav, std::int32_t delta) {
    nav.SetPosition(std::clamp(nav.Position() + delta, 0, m_.TextLength()));
}

bool TKeyboard::AtParagraphEnd(TNavigator& nav) {
    return nav.ParagraphOffset() >= nav.Paragraph()->length;
}

int TKeyboard::XOf(TNavigator& nav) {
    return t_.PosToX(nav.Paragraph(), nav.ParagraphIndex(), nav.Column(), nav.LineInParagraph());
}

int TKeyboard::CaretX() {
    return XOf(m_.Caret()) + t_.VirtualSpaces() * t_.SpaceWidth();
}

std::int32_t TKeyboard::BlockColumnOfCaret() {
    const int sw = std::max(1, t_.SpaceWidth());
    return std::max(0, (CaretX() + t_.HorizontalOffset() - m_.LeftMargin()) / sw);
}

void TKeyboard::SelectTo(std::int32_t anchor, std::int32_t caret) {
    m_.SetSelStart(caret);
    if (anchor != caret) m_.SetSelLength(anchor - caret);
}

void TKeyboard::ApplyMove(TNavigator& nav, std::int32_t oldPos, std::int32_t oldLine, bool shift) {
    const std::int32_t newPos = nav.Position();
    if (!shift) {
        m_.SetSelStart(newPos);
        return;
    }
    if (t_.BlockSelection()) {
        t_.InvalidateLines(m_.SelStartNavigator().LineNumber(), m_.SelStopNavigator().LineNumber());
    }
    const std::int64_t anchor = static_cast<std::int64_t>(oldPos) + m_.SelLength();
    SelectTo(static_cast<std::int32_t>(anchor), newPos);
    const std::int32_t newLine = m_.Caret().LineNumber();
    if (t_.BlockSelection())
        t_.InvalidateLines(m_.SelStartNavigator().LineNumber(), m_.SelStopNavigator().LineNumber());
    else
        t_.InvalidateLines(oldLine, newLine);
}

// ---- Key-down ----

void TKeyboard::KeyDown(std::uint16_t& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(key, shift);
    if (key == 0 || m_.UpdateCount() > 0) return;
    if (Dragging && Dragging()) {
        if (key == vk::Control && ShowDragCursor) ShowDragCursor(true);
        return;
    }
    shift &= ssModifiers;
    if (t_.DisplayOnly()) {
        DisplayOnlyKey(key, shift);
        return;
    }
    if ((shift & ssCtrl) && !(shift & ssAlt) && !t_.ReadOnly() && t_.EnableHotKeys() &&
        HotKey(key, shift)) {
        key = 0;
        return;
    }
    if (key >= 48) return;
    const std::uint16_t code = key;
    key = 0;
    const bool sh = shift & ssShift, ctrl = shift & ssCtrl, alt = shift & ssAlt;

    TNavigator& caret = m_.Caret();
    const std::int32_t para = caret.ParagraphIndex();
    m_.LayoutRange(para, para, false);
    const std::int32_t oldPos = caret.Position();
    const std::int32_t oldLine = caret.LineNumber();
    work_.SetPosition(oldPos);

    if (shift == (ssShift | ssAlt) && m_.HasOption(rzoBlockSelection) && !m_.WordWrap() &&
        !t_.BlockSelection() && IsArrow(code)) {
        const std::int32_t column = BlockColumnOfCaret();
        t_.SetBlockSelection(column, column);
    }
    const bool block = t_.BlockSelection();
    if (alt && !block && code != vk::Tab) {
        if (code == vk::Insert || IsArrow(code) || (code >= vk::Prior && code <= vk::Home) ||
            code == vk::Delete || code == vk::Back)
            return;
        key = code;
        return;
    }
    if (!sh && code != vk::Insert && code != vk::Tab && code != vk::Delete && code != vk::Back &&
        (IsArrow(code) || (code >= vk::Prior && code <= vk::Home)))
        t_.EndBlockSelection();

    switch (code) {
    case vk::Home:
    case vk::End: {
        t_.SetVirtualSpaces(0);
        t_.SetRememberedX(kNoRememberedX);
        t_.EndBlockSelection();
        if (ctrl) {
            work_.SetPosition(code == vk::Home ? 0 : m_.TextLength());
        } else {
            const LineInfo* line = work_.Lines().At(work_.LineInParagraph());
            const std::int32_t start = m_.StartAt(work_.ParagraphIndex());
            std::int32_t offset = line->start;
            if (code == vk::End) {
                // The end of a wrapped line is the start of the next one, so
                // the caret stops before the character the line ends with.
                const bool last = work_.LineInParagraph() == work_.Paragraph()->lineCount - 1;
                offset = last || line->end == line->start ? line->end : line->end - 1;
            }
            work_.SetPosition(start + offset);
        }
        Finish(sh, true, oldPos, oldLine);
        return;
    }
    case vk::Prior:
    case vk::Next: {
        const std::int32_t visible = t_.VisibleLines();
        if (code == vk::Prior) {
            m_.LayoutRange(std::max(para - visible + 1, 0), para, false);
            m_.SeekDisplayLine(work_, std::max(oldLine - visible + 1, 0));
        } else {
            m_.LayoutRange(para, std::min(para + visible - 1, m_.ParagraphCount() - 1), false);
            m_.SeekDisplayLine(work_, std::min(oldLine + visible - 1, m_.LineCount() - 1));
        }
        VerticalMove(sh);
        Finish(sh, true, oldPos, oldLine);
        return;
    }
    case vk::Up:
    case vk::Down: {
        if (code == vk::Up) {
            if (oldLine == 0) return;
            if (work_.LineInParagraph() == 0 && para > 0) m_.LayoutRange(para - 1, para - 1, false);
            m_.SeekDisplayLine(work_, oldLine - 1);
        } else {
            if (oldLine >= m_.LineCount() - 1) return;
            if (work_.LineInParagraph() == work_.Paragraph()->lineCount - 1)
                m_.LayoutRange(para + 1, para + 1, false);
            m_.SeekDisplayLine(work_, oldLine + 1);
        }
        VerticalMove(sh);
        Finish(sh, true, oldPos, oldLine);
        return;
    }
    case vk::Left:
        LeftKey(sh, ctrl);
        Finish(sh, true, oldPos, oldLine);
        return;
    case vk::Right:
        RightKey(ctrl);
        Finish(sh, true, oldPos, oldLine);
        return;
    case vk::Delete:
        if (t_.ReadOnly()) return;
        DeleteKey(sh, ctrl);
        Finish(sh, false, oldPos, oldLine);
        return;
    case vk::Back:
        if (t_.ReadOnly()) return;
        BackspaceKey(ctrl);
        Finish(sh, false, oldPos, oldLine);
        return;
    case vk::Insert:
        if (sh && !t_.ReadOnly()) {
            t_.PasteFromClipboard();
        } else if (ctrl) {
            t_.CopyToClipboard();
        } else if (m_.HasOption(rzoInsertKeyActive)) {
            t_.SetOverwrite(!t_.Overwrite());
            t_.FireStyleChange();
        }
        return;
    case vk::Tab:
        if (alt) {
            key = code;
            return;
        }
        if (!t_.ReadOnly()) t_.SetSelText("\t");
        return;
    default:
        key = code;
        return;
    }
}

bool TKeyboard::HotKey(std::uint16_t key, TShiftState shift) {
    switch (key) {
    case 'B':
        t_.ToggleCode(2);
        return true;
    case 'I':
        t_.ToggleCode(1);
        return true;
    case 'U':
        t_.ToggleCode(21);
        return true;
    case 'H':
        t_.ToggleCode(3);
        return true;
    case 'F':
        t_.ToggleCode(4);
        return true;
    case 'T':
        t_.SetSelText("\t");
        return true;
    case 'P':
        t_.SetSelText("\r\n\x10\r\n");
        return true;
    case 'Z':
        if (shift & ssShift)
            t_.Redo();
        else
            t_.Undo();
        return true;
    default:
        return false;
    }
}

void TKeyboard::Finish(bool shift, bool moved, std::int32_t oldPos, std::int32_t oldLine) {
    if (moved) ApplyMove(work_, oldPos, oldLine, shift);
    m_.EndTypingGroup();
    t_.UpdateCaret();
    if (t_.BlockSelection()) t_.SetBlockSelection(t_.BlockLeft(), BlockColumnOfCaret());
    t_.ScrollInView();
    t_.RepaintNow();
}

void TKeyboard::VerticalMove(bool shift) {
    const int caretX = CaretX();
    t_.SetVirtualSpaces(0);
    if (!shift) t_.EndBlockSelection();
    const bool keep = m_.HasOption(rzoKeepColumnPos);
    if (t_.RememberedX() == kNoRememberedX ||
        (!m_.WordWrap() && m_.HasOption(rzoPutExtraSpaces) && !keep))
        t_.SetRememberedX(caretX);
    const int x = t_.RememberedX();
    const std::int32_t column =
        t_.XToPos(work_.Paragraph(), work_.ParagraphIndex(), keep, x, work_.LineInParagraph());
    const LineInfo* line = work_.Lines().At(work_.LineInParagraph());
    const std::int32_t start = m_.StartAt(work_.ParagraphIndex());
    work_.SetPosition(start + line->start + std::clamp(column, 0, line->end - line->start));
    const bool block = t_.BlockSelection();
    if (!block && !keep) return;
    if (!AtParagraphEnd(work_) && work_.CharAt() != '\t') return;
    if (shift && !block) return;
    const int here = XOf(work_);
    if (x > here) t_.SetVirtualSpaces((x - here) / std::max(1, t_.SpaceWidth()));
}

void TKeyboard::LeftKey(bool shift, bool ctrl) {
    t_.SetRememberedX(kNoRememberedX);
    if (!shift) t_.EndBlockSelection();
    const std::int32_t spaces = t_.VirtualSpaces();
    if (work_.Position() == 0 && spaces == 0) return;
    if (ctrl) {
        t_.SetVirtualSpaces(0);
        do
            Step(work_, -1);
        while (work_.Position() > 0 && IsSep(work_.CharAt()));
        if (work_.CharAt() == '\n') {
            Step(work_, -1);
            return;
        }
        while (work_.Position() > 0) {
            Step(work_, -1);
            if (IsBreak(work_.CharAt())) {
                Step(work_, 1);
                break;
            }
        }
        return;
    }
    if (spaces > 0) {
        t_.SetVirtualSpaces(spaces - 1);
        return;
    }
    bool done = false;
    if (work_.ParagraphOffset() > 0) {
        Step(work_, -1);
        if (m_.StaticFormat() && t_.PassOverCodes())
            while (work_.ParagraphOffset() > 0 && IsFormatCode(work_.CharAt()))
                Step(work_, -1);
        done = !(work_.ParagraphOffset() == 0 && IsFormatCode(work_.CharAt()));
    }
    if (done || t_.BlockSelection() || work_.Position() == 0) return;
    work_.SetPosition(m_.StartAt(work_.ParagraphIndex()) - 2);
    if (m_.HasOption(rzoDiscardTrailingSpaces)) {
        const ParagraphInfo* p = work_.Paragraph();
        std::int32_t offset = p->length;
        while (offset > 0 && IsBlank(static_cast<unsigned char>(p->text[offset - 1])))
            --offset;
        work_.SetPosition(m_.StartAt(work_.ParagraphIndex()) + offset);
    }
}

void TKeyboard::RightKey(bool ctrl) {
    t_.SetRememberedX(kNoRememberedX);
    const std::int32_t length = m_.TextLength();
    if (ctrl) {
        t_.SetVirtualSpaces(0);
        if (work_.Position() < length && work_.CharAt() == '\r') {
            Step(work_, 2);
            return;
        }
        const std::int32_t from = work_.Position();
        while (work_.Position() < length && !IsBreak(work_.CharAt()))
            Step(work_, 1);
        if (work_.Position() == from && work_.Position() < length && work_.CharAt() == '\r')
            Step(work_, 2);
        while (work_.Position() < length && IsSep(work_.CharAt()))
            Step(work_, 1);
        return;
    }
    const bool block = t_.BlockSelection();
    if (AtParagraphEnd(work_) &&
        (block || (m_.HasOption(rzoKeepColumnPos) && !m_.HasOption(rzoWrapCaret)))) {
        t_.SetVirtualSpaces(t_.VirtualSpaces() + 1);
        return;
    }
    if (work_.Position() >= length) return;
    t_.SetVirtualSpaces(0);
    const ParagraphInfo* p = work_.Paragraph();
    const std::int32_t start = m_.StartAt(work_.ParagraphIndex());
    if (m_.StaticFormat() && t_.PassOverCodes())
        while (work_.ParagraphOffset() < p->length && IsFormatCode(work_.CharAt()))
            Step(work_, 1);
    if (m_.HasOption(rzoDiscardTrailingSpaces) && !block) {
        std::int32_t offset = work_.ParagraphOffset();
        while (offset < p->length && IsBlank(static_cast<unsigned char>(p->text[offset])))
            ++offset;
        if (offset >= p->length) work_.SetPosition(start + p->length);
    }
    if (work_.Position() >= length) return;
    Step(work_, work_.CharAt() == '\r' ? 2 : 1);
}

void TKeyboard::DeleteKey(bool shift, bool ctrl) {
    const bool keep = m_.HasOption(rzoKeepColumnPos);
    int savedX = kNoRememberedX;
    if (m_.SelLength() == 0 && keep) savedX = CaretX();
    TNavigator& caret = m_.Caret();
    const std::int32_t pos = caret.Position();
    if (shift) {
        if (m_.SelLength() != 0) {
            t_.CutToClipboard();
            return;
        }
        if (pos > 0) SelectTo(caret.ParagraphOffset() == 0 ? pos - 2 : pos - 1, pos);
    } else if (ctrl) {
        TNavigator& a = m_.SelStartNavigator();
        TNavigator& b = m_.SelStopNavigator();
        if (a.LineNumber() == b.LineNumber()) {
            const LineInfo* line = a.Lines().At(a.LineInParagraph());
            const bool last = a.LineInParagraph() == a.Paragraph()->lineCount - 1;
            const std::int32_t end = m_.StartAt(a.ParagraphIndex()) +
                                     (last || line->end == line->start ? line->end : line->end - 1);
            const std::int32_t from = a.Position();
            m_.SetSelStart(from);
            if (end > from) m_.SetSelLength(end - from);
        }
    } else if (m_.SelLength() == 0 && pos < m_.TextLength()) {
        const ParagraphInfo* p = caret.Paragraph();
        std::int32_t offset = caret.ParagraphOffset();
        if (offset >= p->length) {
            m_.SetSelLength(2);
        } else {
            if (m_.StaticFormat())
                while (offset < p->length &&
                       IsFormatCode(static_cast<unsigned char>(p->text[offset])))
                    ++offset;
            std::int32_t stop = pos + (offset - caret.ParagraphOffset());
            stop += offset < p->length ? 1 : 2;
            m_.SetSelLength(std::min(stop, m_.TextLength()) - pos);
        }
    }
    t_.SetSelText({});
    if (keep && savedX != kNoRememberedX) {
        const int x = XOf(m_.Caret());
        if (savedX > x) t_.SetVirtualSpaces((savedX - x) / std::max(1, t_.SpaceWidth()));
    }
}

void TKeyboard::BackspaceKey(bool ctrl) {
    t_.SetRememberedX(kNoRememberedX);
    if (m_.SelLength() != 0) {
        t_.SetSelText({});
        return;
    }
    TNavigator& caret = m_.Caret();
    const std::int32_t pos = caret.Position();
    const std::int32_t spaces = t_.VirtualSpaces();
    if (ctrl) {
        if (pos == 0) return;
        work_.SetPosition(pos - 1);
        while (work_.Position() > 0 && IsBreak(work_.CharAt()))
            Step(work_, -1);
        while (work_.ParagraphOffset() > 0) {
            Step(work_, -1);
            if (IsBreak(work_.CharAt())) {
                Step(work_, 1);
                break;
            }
        }
        SelectTo(pos, work_.Position());
        t_.SetSelText({});
        return;
    }
    if (caret.ParagraphOffset() == 0 && spaces == 0) {
        if (pos == 0) return;
        SelectTo(pos, pos - 2);
        t_.SetSelText({});
        return;
    }
    if (m_.HasOption(rzoBackIndent)) {
        const std::int32_t column = t_.CaretColumn();
        auto leadingBlanks = [this](std::int32_t lineNumber) {
            m_.SeekDisplayLine(work_, lineNumber, TLineSeek::Exact);
            const ParagraphInfo* p = work_.Paragraph();
            const LineInfo* line = work_.Lines().At(work_.LineInParagraph());
            std::int32_t n = 0;
            while (line->start + n < line->end &&
                   IsBlank(static_cast<unsigned char>(p->text[line->start + n])))
                ++n;
            return n;
        };
        const std::int32_t caretLine = caret.LineNumber();
        if (column > 0 && column == leadingBlanks(caretLine)) {
            std::int32_t target = 0;
            for (std::int32_t l = caretLine - 1; l >= 0; --l) {
                const std::int32_t n = leadingBlanks(l);
                if (n < column) {
                    target = n;
                    break;
                }
            }
            m_.SeekDisplayLine(work_, caretLine, TLineSeek::Exact);
            SelectTo(pos, work_.Position() + target);
            t_.SetSelText({});
            return;
        }
    }
    if (spaces > 0) {
        t_.SetVirtualSpaces(spaces - 1);
        t_.SetSelText({});
        return;
    }
    // Codes have no width: deleting the character before one would leave
    // the caret apparently unmoved, so they go with it.
    std::int32_t from = pos - 1;
    if (m_.StaticFormat()) {
        work_.SetPosition(from);
        while (from > 0 && IsFormatCode(work_.CharAt())) {
            from -= work_.ParagraphOffset() == 0 ? 2 : 1;
            work_.SetPosition(from);
        }
    }
    SelectTo(pos, std::max(from, 0));
    t_.SetSelText({});
}

// ---- Display-only keys ----

void TKeyboard::DisplayOnlyKey(std::uint16_t key, TShiftState shift) {
    const int v = t_.VerticalOffset(), h = t_.HorizontalOffset();
    const int lh = std::max(1, t_.LineHeight());
    const std::int32_t top = v / lh;
    const std::int32_t maxH = std::max(m_.WidestLine() - t_.ClientWidth() + t_.RightMargin(), 0);
    const std::int32_t maxTop = std::max(m_.LineCount() - t_.VisibleLines() + 1, 0);
    const bool ctrl = shift & ssCtrl;
    switch (key) {
    case vk::Home:
        t_.ScrollTo(v, 0);
        break;
    case vk::End:
        t_.ScrollTo(v, maxH);
        break;
    case vk::Left:
        t_.ScrollTo(v, std::max(h - t_.HorizontalScrollUnit(), 0));
        break;
    case vk::Right:
        t_.ScrollTo(v, std::min(h + t_.HorizontalScrollUnit(), maxH));
        break;
    case vk::Up:
    case vk::Prior:
        t_.ScrollTo((key == vk::Prior && ctrl ? 0 : std::max(top - 1, 0)) * lh, h);
        break;
    case vk::Down:
    case vk::Next:
        t_.ScrollTo((key == vk::Next && ctrl ? maxTop : std::min(top + 1, maxTop)) * lh, h);
        break;
    default:
        return;
    }
    t_.RepaintNow();
}

// ---- Key-press ----

void TKeyboard::KeyPress(unsigned char ch) {
    const unsigned char typed = ch;
    if (OnKeyPress) OnKeyPress(ch);
    if (m_.UpdateCount() > 0 || (Dragging && Dragging()) || t_.DisplayOnly()) return;
    if (t_.ReadOnly() && ch != 3) return;
    // 127 typed is Ctrl+Backspace; 127 made by the key-press handler from a
    // letter is a character of the text (a box-drawing palette uses it).
    const bool control = ch < 31 || (ch == 127 && typed == 127);
    if (control) {
        switch (ch) {
        case 3:
            t_.CopyToClipboard();
            break;
        case 5:
            t_.RepaintNow();
            m_.CheckConsistency("RIzuvAzaz");
            break;
        case 13:
            Enter();
            break;
        case 22:
            t_.PasteFromClipboard();
            break;
        case 24:
            t_.CutToClipboard();
            break;
        default:
            break;
        }
    } else {
        TNavigator& caret = m_.Caret();
        const bool atEnd = AtParagraphEnd(caret);
        if (t_.Overwrite() && m_.SelLength() == 0 && !atEnd) m_.SetSelLength(1);
        if (ch == ' ' && m_.SelLength() == 0 && atEnd && m_.HasOption(rzoDiscardTrailingSpaces) &&
            m_.HasOption(rzoKeepColumnPos)) {
            t_.SetVirtualSpaces(t_.VirtualSpaces() + 1);
            t_.UpdateCaret();
            t_.ScrollInView();
        } else {
            const char text = static_cast<char>(ch);
            t_.SetSelText(std::string_view(&text, 1));
        }
    }
    // Auto-repeat sends characters without releases; repainting at once
    // keeps the display from falling behind the typing.
    if (keyReleased_)
        keyReleased_ = false;
    else
        t_.RepaintNow();
}

void TKeyboard::Enter() {
    TNavigator& caret = m_.Caret();
    if (t_.Overwrite() && m_.SelLength() == 0) {
        const std::int32_t line = caret.LineNumber();
        if (line >= m_.LineCount() - 1) {
            m_.SetSelStart(m_.TextLength());
            t_.SetVirtualSpaces(0);
            t_.SetSelText("\r\n");
        } else {
            m_.GoToDisplayLine(line + 1);
            t_.SetVirtualSpaces(0);
            t_.UpdateCaret();
            t_.ScrollInView();
        }
        return;
    }
    if (!m_.HasOption(rzoAutoIndent) || m_.SelLength() != 0) {
        t_.SetSelText("\r\n");
        return;
    }
    std::int32_t line = caret.LineNumber();
    for (;;) {
        m_.SeekDisplayLine(work_, line, TLineSeek::Exact);
        const LineInfo* info = work_.Lines().At(work_.LineInParagraph());
        if (info->end > info->start || line == 0) break;
        --line;
    }
    const ParagraphInfo* p = work_.Paragraph();
    const LineInfo* info = work_.Lines().At(work_.LineInParagraph());
    const std::int32_t limit = t_.CaretColumn();
    std::string indent;
    for (std::int32_t i = info->start;
         i < info->end && static_cast<std::int32_t>(indent.size()) < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(p->text[i]);
        if (!IsBlank(c)) break;
        indent.push_back(static_cast<char>(c));
    }
    if (m_.HasOption(rzoDiscardTrailingSpaces) && AtParagraphEnd(caret)) {
        t_.SetSelText("\r\n");
        std::int32_t spaces = 0;
        for (const char c : indent)
            spaces += c == '\t' ? m_.TabStops() : 1;
        t_.SetVirtualSpaces(spaces);
        t_.UpdateCaret();
        t_.ScrollInView();
        return;
    }
    t_.SetSelText("\r\n" + indent);
}

void TKeyboard::KeyUp(std::uint16_t& key, TShiftState shift) {
    keyReleased_ = true;
    if (OnKeyUp) OnKeyUp(key, shift);
    if (key == vk::Control && Dragging && Dragging() && ShowDragCursor) ShowDragCursor(false);
}

} // namespace lorvane
