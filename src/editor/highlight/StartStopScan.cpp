// The start/stop scan: ranges that run from a start key to a stop key,
// nested through the highlighter's ranges, carried from each paragraph's
// end into the next paragraph's start state.
#include "editor/highlight/HighlightPass.h"
#include "editor/model/RIzuvAzazModel.h"

#include <algorithm>

namespace lorvane {

namespace {

// How far back a closing range looks for the state of the level around it.
constexpr std::int32_t kEnclosingSearchParagraphs = 256;

bool IsForeign(const AttrInfo& a) noexcept {
    return (a.flags & 0xC0) == 0x80;
}

} // namespace

AttrInfo THighlightPass::OpenState(const AttrInfo& state, int entry, int openLength) const {
    const StartStopInfo& info = startStop_.Get(entry);
    const int level = StateLevel(state) + 1;
    AttrInfo s = state;
    s.offsetOrRefs = 0;
    s.flags = static_cast<std::uint8_t>(info.head.style | 0xC0);
    s.level = static_cast<std::int8_t>(level);
    s.stack[level] = static_cast<std::uint16_t>(entry + kOwnKeyBase);
    s.color1 = info.head.firstColour;
    s.color2 = info.head.secondColour;
    s.context = info.head.contextNumber;
    s.cursor = static_cast<std::uint16_t>(info.head.cursor);
    s.openLength = static_cast<std::uint8_t>(std::min(openLength, 255));
    s.closeLength = static_cast<std::uint8_t>(std::min<int>(info.stopLength, 255));
    return s;
}

// The state of `level` around a range that closes: plain text below level
// 0, else the latest state at that level with the same stack, looked for
// backwards from the scan position.
AttrInfo THighlightPass::EnclosingState(std::int32_t index, const AttrInfo& state,
                                        int level) const {
    if (level < 0) return AttrInfo{};
    const auto matches = [&](const AttrInfo& a) {
        if ((a.flags & 0xC0) != 0xC0 || a.level != level) return false;
        for (int k = 0; k <= level; ++k)
            if (a.stack[k] != state.stack[k]) return false;
        return true;
    };
    const std::int32_t stop = std::max(0, index - kEnclosingSearchParagraphs);
    for (std::int32_t i = index; i >= stop; --i) {
        const ParagraphInfo* p = model_.ParagraphAt(i);
        for (std::int32_t k = p->entryCount - 1; k >= 0; --k)
            if (matches(p->entries[k])) {
                AttrInfo s = p->entries[k];
                s.offsetOrRefs = 0;
                return s;
            }
        if (matches(*p->startContext)) {
            AttrInfo s = *p->startContext;
            s.offsetOrRefs = 0;
            return s;
        }
    }
    AttrInfo s = state;
    s.offsetOrRefs = 0;
    s.level = static_cast<std::int8_t>(level);
    return s;
}

// After a range of own entry `entry` closes, a later entry with the same
// start key opens at once; otherwise the enclosing level takes over again.
AttrInfo THighlightPass::AfterClose(std::int32_t index, const AttrInfo& state, int entry) const {
    const int level = StateLevel(state);
    const int next = startStop_.NextSameStart(entry);
    if (next >= 0) {
        AttrInfo below = state;
        below.level = static_cast<std::int8_t>(level - 1);
        return OpenState(below, next, 0);
    }
    return EnclosingState(index, state, level - 1);
}

// Asks the highlighter for the start (or the end) of one of its ranges from
// `offset` on. `hookFrom_` stands at the offset with the scan's state in
// force; a hook that finds something moves it forward and inserts its
// state there. Returns the inserted state and its offset.
bool THighlightPass::AskHook(bool start, std::int32_t index, std::int32_t offset,
                             std::int32_t limit, std::int32_t& hookOffset, AttrInfo& hookState) {
    THighlighter* highlighter = link_.Get();
    if (!highlighter) return false;
    ParagraphInfo* p = model_.ParagraphAt(index);
    const std::int32_t paragraphStart = model_.StartAt(index);
    hookFrom_.Invalidate();
    hookFrom_.SetPosition(paragraphStart + offset);
    hookFrom_.SkipEntriesHere();
    hookTo_.Invalidate();
    hookTo_.SetPosition(paragraphStart + limit);
    const std::int32_t before = p->entryCount;
    const bool found = start ? highlighter->StartHook(hookFrom_, hookTo_, startStop_.Count())
                             : highlighter->StopHook(hookFrom_, hookTo_, startStop_.Count());
    if (!found || p->entryCount <= before || hookFrom_.ParagraphIndex() != index) return false;
    const std::int32_t k = hookFrom_.AttributeIndex() - 1;
    if (k < 0 || static_cast<std::int32_t>(p->entries[k].offsetOrRefs) < offset) return false;
    hookOffset = static_cast<std::int32_t>(p->entries[k].offsetOrRefs);
    hookState = p->entries[k];
    // The hook's state replaces one of ours at the same offset.
    if (k > 0 && static_cast<std::int32_t>(p->entries[k - 1].offsetOrRefs) == hookOffset &&
        !IsForeign(p->entries[k - 1]))
        RemoveEntryAt(*p, k - 1, hookOffset);
    return true;
}

void THighlightPass::RemoveState(ParagraphInfo& p, std::int32_t offset, const AttrInfo& state) {
    for (std::int32_t k = 0; k < p.entryCount; ++k)
        if (static_cast<std::int32_t>(p.entries[k].offsetOrRefs) == offset &&
            StatesIdentical(p.entries[k], state)) {
            RemoveEntryAt(p, k, offset);
            return;
        }
}

void THighlightPass::ScanParagraph(std::int32_t index) {
    ++scanned_;
    ParagraphInfo* p = model_.ParagraphAt(index);

    // Highlights written by the application stay; everything the passes
    // made is rebuilt.
    foreign_.clear();
    {
        std::int32_t w = 0;
        for (std::int32_t k = 0; k < p->entryCount; ++k) {
            if (!IsForeign(p->entries[k])) continue;
            const std::int32_t end = k + 1 < p->entryCount
                                         ? static_cast<std::int32_t>(p->entries[k + 1].offsetOrRefs)
                                         : -1;
            foreign_.push_back({p->entries[k], end});
            p->entries[w++] = p->entries[k];
        }
        p->entryCount = w;
    }

    const std::int32_t length = p->length;
    const bool keys = model_.ApplyStartStopKeys() && startStop_.Count() > 0;
    const bool hooks = link_.Get() != nullptr;
    if (keys) {
        PrepareList();
        text_.Load(std::string_view(p->text ? p->text : "", static_cast<std::size_t>(length)),
                   startStop_);
    }

    AttrInfo state = *p->startContext;
    state.offsetOrRefs = 0;
    std::int32_t cur = 0;
    std::int32_t openerOffset = -1; // where the own range in force opened, in this paragraph
    // Hooks could keep opening and closing at one place; the scan gives up
    // after as many steps as the paragraph can have changes.
    for (std::int64_t guard = 2 * static_cast<std::int64_t>(length) + 64; guard > 0; --guard) {
        const int level = StateLevel(state);
        if (InOwnRange(state)) {
            const int e = state.stack[level] - kOwnKeyBase;
            if (!keys || e >= startStop_.Count()) break;
            const StartStopInfo& info = startStop_.Get(e);
            const int at = FindStopKey(text_, startStop_, e, separators_, cur, length);
            std::int32_t closeAt;
            if (at >= 0)
                closeAt = at + info.stopLength;
            else if (info.endsAtParagraphEnd)
                closeAt = length;
            else
                break;
            if (at >= 0 && openerOffset >= 0) {
                // The entry that opened the range learns how long its stop key was.
                for (std::int32_t k = 0; k < p->entryCount; ++k)
                    if (static_cast<std::int32_t>(p->entries[k].offsetOrRefs) == openerOffset &&
                        !IsForeign(p->entries[k]))
                        p->entries[k].closeLength = static_cast<std::uint8_t>(
                            std::min(info.stopLength + (info.separatorBeforeStop ? 1 : 0), 255));
            }
            state = AfterClose(index, state, e);
            PutEntry(*p, closeAt, state);
            openerOffset = InOwnRange(state) ? closeAt : -1;
            cur = closeAt;
            if (at < 0) break; // closed at the paragraph end
            continue;
        }

        StartKeyMatch match;
        if (keys && level < kMaxNestingLevel)
            match =
                FindStartKey(text_, startStop_, separators_, OffsetWindow{cur, length}, cur - 1);
        // Inside a highlighter range its end is asked for first; an own
        // start key or a nested highlighter range before that end wins.
        std::int32_t hookOffset = 0;
        AttrInfo hookState;
        bool closing = false;
        std::int32_t closeOffset = 0;
        AttrInfo closeState;
        if (hooks && level >= 0 && AskHook(false, index, cur, length, closeOffset, closeState)) {
            RemoveState(*p, closeOffset, closeState);
            closing = !match || closeOffset <= match.offset;
        }
        const std::int32_t limit = closing ? closeOffset : match ? match.offset : length;
        if (hooks && level < kMaxNestingLevel && (limit > cur || (!closing && !match)) &&
            AskHook(true, index, cur, limit, hookOffset, hookState)) {
            state = hookState;
            state.offsetOrRefs = 0;
            openerOffset = -1;
            if (hookOffset >= length) break;
            cur = std::min(length, hookOffset + std::max<std::int32_t>(1, hookState.openLength));
            continue;
        }
        if (closing) {
            state = closeState;
            state.offsetOrRefs = 0;
            PutEntry(*p, closeOffset, state);
            cur = std::max(cur, closeOffset);
            openerOffset = -1;
            continue;
        }
        if (match) {
            state = OpenState(state, match.entry, match.openLength);
            PutEntry(*p, match.offset, state);
            openerOffset = match.offset;
            cur = match.offset + match.length;
            continue;
        }
        break;
    }

    // A foreign highlight ends where the entry after it stood; the scan's
    // own state in force there takes over again.
    for (const Foreign& f : foreign_) {
        if (f.end < 0 || f.end > length) continue;
        std::int32_t k = 0;
        while (k < p->entryCount && static_cast<std::int32_t>(p->entries[k].offsetOrRefs) < f.end)
            ++k;
        if (k < p->entryCount && static_cast<std::int32_t>(p->entries[k].offsetOrRefs) == f.end)
            continue;
        const AttrInfo* own = p->startContext;
        for (std::int32_t j = k - 1; j >= 0; --j)
            if (!IsForeign(p->entries[j])) {
                own = &p->entries[j];
                break;
            }
        const AttrInfo restored = *own;
        InsertEntryAt(*p, k, restored, f.end);
    }

    p->startStopScanned = 1;
    p->keywordsApplied = 0;
    p->laidOut = 0;
    model_.InvalidateLineCaches(model_.StartAt(index) - 1, index);
    HandOn(index, state);
}

void THighlightPass::ScanStartStopUpTo(RIzuvAzazModel& model, std::int32_t index) {
    index = std::min(index, model.ParagraphCount() - 1);
    for (std::int32_t i = std::max(model.StartStopFrontier() + 1, 0); i <= index; ++i)
        if (!model.ParagraphAt(i)->startStopScanned) ScanParagraph(i);
}

void THighlightPass::RescanEdit(RIzuvAzazModel& model, std::int32_t start, std::int32_t) {
    const std::int32_t i = model.FindParagraph(start);
    ParagraphInfo* p = model.ParagraphAt(i);
    const bool keywords = p->keywordsApplied != 0;
    if (!p->startStopScanned) {
        // Not reached by the scan yet: layout will do both passes.
        p->keywordsApplied = 0;
        return;
    }
    ScanParagraph(i);
    if (keywords) {
        KeywordsOfParagraph(i);
        p->keywordsApplied = 1;
    }
}

void THighlightPass::StartStopScan(TNavigator& from, TNavigator& to) {
    const std::int32_t first = from.ParagraphIndex();
    const std::int32_t last = std::max(first, to.ParagraphIndex());
    for (std::int32_t i = first; i <= last; ++i)
        ScanParagraph(i);
}

} // namespace lorvane
