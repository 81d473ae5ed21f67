// The editing primitive: replacing the selection, keeping the store, the
// navigators and the undo list in step; and Undo and Redo as replays of it.
#include "editor/model/ErrorTexts.h"
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Error.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lorvane {

namespace {

// The inserted text cut at its line breaks: CR or CR LF (a lone LF stays text).
// Pieces are copied whole, not byte by byte: a conversion of a huge text
// inserts it all at once.
std::vector<std::string> SplitAtBreaks(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t cr = text.find('\r', from);
        if (cr == std::string_view::npos) {
            parts.emplace_back(text.substr(from));
            return parts;
        }
        parts.emplace_back(text.substr(from, cr - from));
        from = cr + 1;
        if (from < text.size() && text[from] == '\n') ++from;
    }
}

std::uint8_t Toggles(const char* s, std::size_t n) noexcept {
    if (!ContainsFormatCode(s, n)) return 0;
    std::uint8_t bits = 0;
    for (std::size_t i = 0; i < n; ++i)
        bits ^= StyleBitOfCode(static_cast<unsigned char>(s[i]));
    return bits;
}

// Whether a paragraph holds any format code at all: memchr per code is far
// faster than looking at every byte of a long paragraph on each keystroke.
bool HasFormatCode(const ParagraphInfo& p) noexcept {
    if (p.length <= 0) return false;
    for (const int code : {1, 2, 3, 4, 21})
        if (std::memchr(p.text, code, static_cast<std::size_t>(p.length))) return true;
    return false;
}

bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

void DropTrailingBlanks(std::string& s) {
    while (!s.empty() && IsBlank(s.back()))
        s.pop_back();
}

} // namespace

void RIzuvAzazModel::Replace(std::string_view textIn, ReplaceKind kind) {
    // The text is zero-terminated for the control's callers: a zero byte ends it.
    std::string text(textIn.substr(0, std::min(textIn.find('\0'), textIn.size())));
    if (OnBeforeChange) OnBeforeChange(text);
    if (selStart_.Position() == selStop_.Position() && text.empty()) return;
    // Hook point for the widget's column blocks: it deletes the block line by
    // line through this same operation and leaves the caret at its left column.
    if (BlockReplace) {
        std::string_view view = text;
        if (BlockReplace(view) && text.empty()) return;
    }

    std::int32_t s = selStart_.Position(), e = selStop_.Position();
    // A line break is one unit: an end between its CR and LF takes the whole break.
    const auto midBreak = [this](std::int32_t pos) {
        const std::int32_t i = FindParagraph(pos);
        return pos - StartAt(i) == ParagraphAt(i)->length + 1;
    };
    if (s == e) {
        if (midBreak(s)) s = e = s - 1;
    } else {
        if (midBreak(s)) --s;
        if (midBreak(e)) ++e;
    }

    modified_ = true;
    std::vector<std::string> parts = SplitAtBreaks(text);
    std::int32_t ps = FindParagraph(s), pe = FindParagraph(e);
    std::int32_t os = s - StartAt(ps);
    const std::int32_t oe = e - StartAt(pe);
    const bool endsAtParagraphEnd = oe == ParagraphAt(pe)->length;

    if (HasOption(rzoDiscardTrailingSpaces) && !replaying_ &&
        (parts.size() > 1 || endsAtParagraphEnd)) {
        const std::string& first = parts.front();
        if (!first.empty() && std::all_of(first.begin(), first.end(), IsBlank)) {
            const ParagraphInfo* p = ParagraphAt(ps);
            while (os > 0 && IsBlank(p->text[os - 1])) {
                --os;
                --s;
            }
        }
        for (std::size_t i = 0; i < parts.size(); ++i)
            if (i + 1 < parts.size() || endsAtParagraphEnd) DropTrailingBlanks(parts[i]);
    }

    // Keep the style of the text after the change: codes removed and codes
    // inserted must cancel, or the missing codes are appended. A replay
    // restores recorded text exactly and needs no balance.
    if (staticFormat_ && kind == ReplaceKind::Normal && !replaying_) {
        std::uint8_t bits = 0;
        for (std::int32_t i = ps; i <= pe; ++i) {
            const ParagraphInfo* p = ParagraphAt(i);
            const std::int32_t from = i == ps ? os : 0, to = i == pe ? oe : p->length;
            if (to > from) bits ^= Toggles(p->text + from, static_cast<std::size_t>(to - from));
        }
        for (const auto& part : parts)
            bits ^= Toggles(part.data(), part.size());
        for (unsigned char code : {21, 1, 2, 3, 4})
            if (bits & StyleBitOfCode(code)) parts.back().push_back(static_cast<char>(code));
    }

    // Refuse a paragraph that would grow too long, before anything changes.
    {
        const std::int64_t head = os, tail = ParagraphAt(pe)->length - oe;
        const std::size_t n = parts.size();
        for (std::size_t i = 0; i < n; ++i) {
            std::int64_t len = static_cast<std::int64_t>(parts[i].size());
            if (i == 0) len += head;
            if (i + 1 == n) len += tail;
            if (len > kMaxParagraphLength) throw Error(texts::kTextTooLong);
        }
    }

    std::int64_t inserted64 = 2 * static_cast<std::int64_t>(parts.size() - 1);
    for (const auto& part : parts)
        inserted64 += static_cast<std::int64_t>(part.size());
    if (TextLength() - (e - s) + inserted64 > INT32_MAX - 2) throw Error(texts::kTextTooLong);
    const auto inserted = static_cast<std::int32_t>(inserted64);

    // Undo: the reverse of this change.
    if (!replaying_) undo_.DropRedo();
    if (!(s == e && !replaying_ && undo_.TryExtendGroup(s, inserted)))
        undo_.Record(s, inserted, GetTextRange(s, e), replaying_ ? replaySlot_ : -1,
                     replaying_ && replayGrouped_);
    undo_.groupEnded = false;

    // Whether the replaced range carried highlighting decides if the passes rerun.
    bool hadEntries = false;
    for (std::int32_t i = ps; i <= pe && !hadEntries; ++i) {
        const ParagraphInfo* p = ParagraphAt(i);
        for (std::int32_t k = 0; k < p->entryCount; ++k) {
            const auto off = static_cast<std::int32_t>(p->entries[k].offsetOrRefs);
            if ((i > ps || off >= os) && (i < pe || off <= oe)) hadEntries = true;
        }
    }
    std::uint8_t stateFlags;
    {
        const ParagraphInfo* p = ParagraphAt(ps);
        std::int32_t k = 0;
        while (k < p->entryCount && static_cast<std::int32_t>(p->entries[k].offsetOrRefs) < os)
            ++k;
        stateFlags = k > 0 ? p->entries[k - 1].flags : p->startContext->flags;
    }

    std::int32_t caret = s;
    std::string joined;
    joined.reserve(static_cast<std::size_t>(inserted));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) joined += "\r\n";
        joined += parts[i];
    }
    Splice(s, e, joined, caret);
    const std::int32_t lastEdited = FindParagraph(caret);

    const bool skipPasses = !hadEntries && (stateFlags & 0xC0) == 0x80;
    if (!skipPasses) {
        if (OnParse) OnParse(s, caret);
        if (updateCount_ == 0) {
            // Hook point: start/stop scan and keyword pass over the edited text.
            if (passes_) passes_->RescanEdit(*this, s, caret);
        } else {
            ParagraphInfo* p = ParagraphAt(ps);
            p->laidOut = 0;
            p->startStopScanned = 0;
            p->keywordsApplied = 0;
            editInPlace_ = false;
        }
    }

    selStart_.SetPosition(caret);
    selStop_.Assign(selStart_);
    caretAtStop_ = false;
    selLength_ = 0;

    if (staticFormat_ && stripPairedCodes_ && !replaying_ && kind != ReplaceKind::PairRemoval &&
        kind != ReplaceKind::FormatCommandEmpty)
        CleanCodePairs(ps, lastEdited);

    if (updateCount_ == 0) {
        RefreshAfterChanges();
        if (host_) host_->ScrollCaretIntoView();
    }
}

void RIzuvAzazModel::CleanCodePairs(std::int32_t firstParagraph, std::int32_t lastParagraph) {
    auto findPair = [this](std::int32_t i, std::int32_t from, std::int32_t& a, std::int32_t& b) {
        const ParagraphInfo* p = ParagraphAt(i);
        for (a = from; a < p->length; ++a) {
            const auto c = static_cast<unsigned char>(p->text[a]);
            if (!IsFormatCode(c)) continue;
            b = a + 1;
            while (b < p->length && IsFormatCode(static_cast<unsigned char>(p->text[b])) &&
                   static_cast<unsigned char>(p->text[b]) != c)
                ++b;
            if (b < p->length && static_cast<unsigned char>(p->text[b]) == c) return true;
        }
        return false;
    };
    std::int32_t a = 0, b = 0;
    bool any = false;
    for (std::int32_t i = firstParagraph; i <= lastParagraph && !any; ++i)
        any = HasFormatCode(*ParagraphAt(i)) && findPair(i, 0, a, b);
    if (!any) return;

    // Each pair goes through Replace so undo can restore it; the removals
    // are grouped with the change that made the pair.
    TNavigator keeper(this);
    keeper.SetPosition(selStart_.Position());
    ++updateCount_;
    for (std::int32_t i = firstParagraph; i <= lastParagraph; ++i) {
        std::int32_t from = 0;
        while (findPair(i, from, a, b)) {
            for (std::int32_t off : {b, a}) {
                const std::int32_t pos = StartAt(i) + off;
                selStart_.SetPosition(pos);
                selStop_.SetPosition(pos + 1);
                caretAtStop_ = false;
                Replace({}, ReplaceKind::PairRemoval);
                GroupLastUndo();
            }
            from = a;
        }
    }
    --updateCount_;
    editInPlace_ = false;
    selStart_.SetPosition(keeper.Position());
    selStop_.Assign(selStart_);
    caretAtStop_ = false;
}

void RIzuvAzazModel::GroupLastUndo() noexcept {
    if (undo_.Level() > 0) undo_.At(undo_.Level() - 1).grouped = true;
}

void RIzuvAzazModel::GroupUndoSince(std::int32_t level) noexcept {
    for (std::int32_t k = std::max(level, 0) + 1; k < undo_.Level(); ++k)
        undo_.At(k).grouped = true;
}

void RIzuvAzazModel::Splice(std::int32_t s, std::int32_t e, std::string_view text,
                            std::int32_t& caret) {
    std::vector<std::string_view> parts;
    {
        std::size_t from = 0;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '\r' && text[i + 1] == '\n') {
                parts.push_back(text.substr(from, i - from));
                from = i + 2;
                ++i;
            }
        parts.push_back(text.substr(from));
    }
    const auto k = static_cast<std::int32_t>(parts.size());
    const std::int32_t ps = FindParagraph(s), pe = FindParagraph(e);
    const std::int32_t os = s - StartAt(ps), oe = e - StartAt(pe);
    const auto inserted = static_cast<std::int32_t>(text.size());
    const std::int32_t delta = inserted - (e - s);
    caret = s + inserted;

    ParagraphInfo* p = ParagraphAt(ps);
    std::int32_t lineInPs = 0;
    {
        TLinesList view(p);
        while (lineInPs < p->lineCount - 1 && view.At(lineInPs)->end <= os)
            ++lineInPs;
    }
    const std::int32_t changedLine = FirstLineAt(ps) + lineInPs;

    if (k == 1 && ps == pe) {
        const auto n = static_cast<std::int32_t>(parts[0].size());
        // Lines that began inside the removed part now begin after the new
        // text, where the style is the one the old text had at its end.
        const std::uint8_t styleAtEnd = StyleAt(ps, oe);
        // Text without format codes in or out keeps the style at the
        // paragraph's end, and so the start style of every one after it.
        if (replaying_ ||
            (p->text && ContainsFormatCode(p->text + os, static_cast<std::size_t>(oe - os))) ||
            ContainsFormatCode(parts[0].data(), parts[0].size()))
            carryStyle_ = true;
        SpliceText(*p, os, oe, parts[0].data(), n);
        // Attribute entries inside the removed part go; later ones move.
        std::int32_t w = 0;
        for (std::int32_t r = 0; r < p->entryCount; ++r) {
            AttrInfo entry = p->entries[r];
            const auto off = static_cast<std::int32_t>(entry.offsetOrRefs);
            if (off > os && off < oe) continue;
            if (off >= oe && off > os) entry.offsetOrRefs = static_cast<std::uint32_t>(off + delta);
            p->entries[w++] = entry;
        }
        p->entryCount = w;
        // Keep the old lines usable: positions after the edit move with it.
        const auto map = [&](std::int32_t x) {
            if (x <= os) return x;
            return x < oe ? os + n : x + delta;
        };
        TLinesList view(p);
        dirtyLine_ = lineInPs;
        for (std::int32_t l = 0; l < p->lineCount; ++l) {
            LineInfo* line = view.At(l);
            // A line that began inside the removed part was cut for text
            // that is gone: it must be wrapped again, never kept.
            if (line->start > os && line->start <= oe) dirtyLine_ = l;
            if (line->start > os && line->start < oe) line->style = styleAtEnd;
            line->start = l == 0 ? 0 : map(line->start);
            line->end = map(line->end);
            line->justifyStart = map(line->justifyStart);
        }
        view.At(p->lineCount - 1)->end = p->length;
        textLength_ += delta;
        ShiftStartsFrom(ps + 1, delta);
        editInPlace_ = updateCount_ == 0;
        // Within a bracket only the first paragraph changed is laid out
        // again when it closes; this one may be left to the background.
        if (updateCount_ > 0) p->laidOut = 0;
        NoteChange(changedLine, ps, ps);
        ShiftNavigators(s, e, delta, 0, pe, ps);
        return;
    }

    editInPlace_ = false;
    carryStyle_ = true;
    const std::uint8_t styleAtS = StyleAt(ps, os);
    ParagraphInfo* last = ParagraphAt(pe);
    const std::string tail(last->text ? last->text + oe : "",
                           static_cast<std::size_t>(last->length - oe));
    std::vector<AttrInfo> tailEntries;
    for (std::int32_t r = 0; r < last->entryCount; ++r)
        if (static_cast<std::int32_t>(last->entries[r].offsetOrRefs) >= oe) {
            AttrInfo entry = last->entries[r];
            entry.offsetOrRefs -= static_cast<std::uint32_t>(oe); // relative to the tail
            tailEntries.push_back(entry);
        }

    std::int32_t removedLines = 0;
    for (std::int32_t i = ps + 1; i <= pe; ++i)
        removedLines += ParagraphAt(i)->lineCount;
    const std::int32_t oldPsLines = p->lineCount;
    const std::int32_t psStart = StartAt(ps), psFirstLine = FirstLineAt(ps);

    // The first paragraph keeps its head and takes the first inserted piece.
    SpliceText(*p, os, p->length, parts[0].data(), static_cast<std::int32_t>(parts[0].size()));
    std::int32_t kept = 0;
    while (kept < p->entryCount && static_cast<std::int32_t>(p->entries[kept].offsetOrRefs) < os)
        ++kept;
    p->entryCount = kept;
    AttrInfo* context = kept > 0 ? NewStartContext(&p->entries[kept - 1]) : p->startContext;
    if (kept == 0) RetainContext(context);
    ResetToOneLine(*p);

    RemoveRecords(ps + 1, pe - ps);
    InsertRecords(ps + 1, k - 1);
    p = ParagraphAt(ps); // the list may have moved records on either side
    std::uint8_t style = styleAtS ^ Toggles(parts[0].data(), parts[0].size());
    std::int32_t start = psStart + p->length + 2;
    for (std::int32_t m = 1; m < k; ++m) {
        ParagraphInfo* q = ParagraphAt(ps + m);
        InitRecord(*q, context);
        RetainContext(context);
        const std::string_view piece = parts[static_cast<std::size_t>(m)];
        if (m == k - 1) {
            std::string bytes(piece);
            bytes += tail;
            SetParagraphBytes(*q, bytes.data(), static_cast<std::int32_t>(bytes.size()));
            for (const AttrInfo& entry : tailEntries)
                InsertEntryAt(*q, q->entryCount, entry,
                              static_cast<std::int32_t>(entry.offsetOrRefs + piece.size()));
        } else {
            SetParagraphBytes(*q, piece.data(), static_cast<std::int32_t>(piece.size()));
        }
        q->line0.end = q->length;
        q->line0.style = style;
        style ^= Toggles(piece.data(), piece.size());
        SetStartAt(ps + m, start);
        SetFirstLineAt(ps + m, psFirstLine + m);
        start += q->length + 2;
    }
    if (k == 1) {
        // Joined paragraphs: the tail comes back onto the first one.
        const std::int32_t at = p->length;
        SpliceText(*p, at, at, tail.data(), static_cast<std::int32_t>(tail.size()));
        p->line0.end = p->length;
        for (const AttrInfo& entry : tailEntries)
            InsertEntryAt(*p, p->entryCount, entry,
                          static_cast<std::int32_t>(entry.offsetOrRefs) + at);
    }
    ReleaseContext(context);

    const std::int32_t lineChange = 1 - oldPsLines - removedLines + (k - 1);
    lineCount_ += lineChange;
    lineDelta_ += lineChange;
    ShiftFirstLinesFrom(ps + k, lineChange);
    textLength_ += delta;
    ShiftStartsFrom(ps + k, delta);

    const std::int32_t paragraphDelta = (k - 1) - (pe - ps);
    const auto follow = [&](std::int32_t& index) {
        if (index > pe)
            index += paragraphDelta;
        else if (index > ps)
            index = ps;
    };
    follow(layoutFrom_);
    if (layoutTo_ >= 0) follow(layoutTo_);
    if (widestParagraph_ > ps) widestParagraph_ = -1;
    if (startStopFrontier_ >= ps) startStopFrontier_ = ps - 1 < 0 ? -1 : ps - 1;
    if (changedLast_ >= 0) follow(changedLast_);
    if (changedFirst_ > ps) follow(changedFirst_);
    NoteChange(std::min(changedLine, psFirstLine), ps, ps + k - 1);
    ShiftNavigators(s, e, delta, paragraphDelta, pe, ps);
}

// Every live navigator follows the edit: those inside the replaced range
// go to its start, later ones move by the change in length and paragraphs.
void RIzuvAzazModel::ShiftNavigators(std::int32_t s, std::int32_t e, std::int32_t delta,
                                     std::int32_t paragraphDelta, std::int32_t endParagraph,
                                     std::int32_t startParagraph) {
    for (TNavigator* n : navigators_) {
        const std::int32_t pos = n->position_;
        if (pos < s) {
            if (!n->paragraph_) continue;
            // Records before the edit may have moved with the list's gap.
            n->paragraph_ = ParagraphAt(n->index_);
            n->lines_.SetParagraph(n->paragraph_);
            if (n->index_ == startParagraph) {
                n->attrIndex_ = TNavigator::kUnset;
                n->lineIndex_ = TNavigator::kUnset;
            }
            continue;
        }
        if (pos <= e) {
            n->position_ = s;
            n->Bind(startParagraph);
        } else {
            n->position_ = pos + delta;
            if (!n->paragraph_) continue;
            const std::int32_t index = n->index_;
            if (index == endParagraph || index == startParagraph) {
                n->Bind(index + paragraphDelta);
            } else {
                n->Bind(index + paragraphDelta);
                if (paragraphDelta == 0) continue; // caches of untouched paragraphs stay
                continue;
            }
        }
        n->attrIndex_ = TNavigator::kUnset;
        n->lineIndex_ = TNavigator::kUnset;
    }
}

} // namespace lorvane
