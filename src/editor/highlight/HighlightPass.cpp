// State helpers, queries, property effects and the writing of single
// highlights; the two passes live in StartStopScan.cpp and KeywordPass.cpp.
#include "editor/highlight/HighlightPass.h"

#include "editor/model/RIzuvAzazModel.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

int StateLevel(const AttrInfo& state) noexcept {
    return TNavigator::StartStopLevel(state);
}

bool InOwnRange(const AttrInfo& state) noexcept {
    const int level = StateLevel(state);
    return level >= 0 && level <= kMaxNestingLevel && state.stack[level] >= kOwnKeyBase;
}

bool StatesEqual(const AttrInfo& a, const AttrInfo& b) noexcept {
    if ((a.flags & 0xC0) != (b.flags & 0xC0)) return false;
    if ((a.flags & 0xC0) != 0xC0) return true;
    if (a.level != b.level) return false;
    const int level = std::clamp<int>(a.level, -1, kMaxNestingLevel);
    for (int k = 0; k <= level; ++k)
        if (a.stack[k] != b.stack[k]) return false;
    return true;
}

bool StatesIdentical(const AttrInfo& a, const AttrInfo& b) noexcept {
    constexpr std::size_t head = sizeof(a.offsetOrRefs);
    return std::memcmp(reinterpret_cast<const char*>(&a) + head,
                       reinterpret_cast<const char*>(&b) + head, sizeof(AttrInfo) - head) == 0;
}

bool KeywordsAllowedIn(const AttrInfo& state, bool nesting) noexcept {
    if (!(state.flags & 0x80)) return true;
    // A range of an own key with a context number keeps keywords out even
    // with nesting: it is a comment or a string, not a highlight.
    if (InOwnRange(state)) return state.context == 0;
    if (state.context == 0) return true;
    return nesting && StateLevel(state) >= 0;
}

std::uint8_t EffectiveRunStyle(std::uint8_t staticStyle, const AttrInfo& state,
                               std::uint8_t baseFontStyle) noexcept {
    if (!(state.flags & 0x80)) return staticStyle ^ baseFontStyle;
    if ((state.flags & 0x18) != 0x18) return state.flags & 0x3F;
    return state.flags & 0xA7;
}

const AttrInfo& StateAtOffset(const ParagraphInfo& p, std::int32_t offset) noexcept {
    const AttrInfo* begin = p.entries;
    const AttrInfo* end = p.entries + p.entryCount;
    const AttrInfo* after =
        std::upper_bound(begin, end, offset, [](std::int32_t o, const AttrInfo& a) {
            return o < static_cast<std::int32_t>(a.offsetOrRefs);
        });
    return after == begin ? *p.startContext : *(after - 1);
}

namespace {

TCharSet SeparatorsOf(const RIzuvAzazModel& model) {
    TCharSet set;
    for (int c = 0; c < 256; ++c)
        if (model.IsSeparator(static_cast<unsigned char>(c)))
            set.Include(static_cast<unsigned char>(c));
    return set;
}

} // namespace

THighlightPass::THighlightPass(RIzuvAzazModel& model, TKeywordList& keywords,
                               TStartStopKeyList& startStop)
    : model_(model), keywords_(keywords), startStop_(startStop), separators_(SeparatorsOf(model)),
      hookFrom_(&model), hookTo_(&model) {
    model_.SetHighlightPasses(this);
}

THighlightPass::~THighlightPass() {
    model_.SetHighlightPasses(nullptr);
}

void THighlightPass::HandOn(std::int32_t index, const AttrInfo& endState) {
    if (index + 1 >= model_.ParagraphCount()) return;
    ParagraphInfo* p = model_.ParagraphAt(index);
    ParagraphInfo* q = model_.ParagraphAt(index + 1);
    const bool equal = StatesEqual(*q->startContext, endState);
    if (!StatesIdentical(*q->startContext, endState)) {
        // A paragraph without entries ends in its start state: share it.
        AttrInfo* context = nullptr;
        if (p->entryCount == 0 && StatesIdentical(*p->startContext, endState)) {
            context = p->startContext;
            RetainContext(context);
        } else {
            context = NewStartContext(&endState);
        }
        ReleaseContext(q->startContext);
        q->startContext = context;
    }
    if (equal) return;
    q->laidOut = 0;
    q->startStopScanned = 0;
    q->keywordsApplied = 0;
    model_.StartStateChanged(index + 1);
}

void THighlightPass::PutEntry(ParagraphInfo& p, std::int32_t offset, const AttrInfo& state) {
    std::int32_t k = 0;
    {
        const AttrInfo* begin = p.entries;
        const AttrInfo* at = std::lower_bound(
            begin, begin + p.entryCount, offset, [](const AttrInfo& a, std::int32_t o) {
                return static_cast<std::int32_t>(a.offsetOrRefs) < o;
            });
        k = static_cast<std::int32_t>(at - begin);
    }
    // A state of the scan at the same offset is replaced; a foreign
    // highlight there stays after it and so stays in force.
    for (std::int32_t j = k;
         j < p.entryCount && static_cast<std::int32_t>(p.entries[j].offsetOrRefs) == offset; ++j) {
        if ((p.entries[j].flags & 0xC0) != 0x80) {
            p.entries[j] = state;
            p.entries[j].offsetOrRefs = static_cast<std::uint32_t>(offset);
            return;
        }
    }
    InsertEntryAt(p, k, state, offset);
}

void THighlightPass::WriteOver(ParagraphInfo& p, std::int32_t from, std::int32_t to,
                               const AttrInfo& state, bool set) {
    to = std::min(to, p.length);
    from = std::clamp(from, 0, to);
    // The state in force at `to` before the write comes back there.
    bool entryAtEnd = false;
    for (std::int32_t k = 0; k < p.entryCount; ++k)
        if (static_cast<std::int32_t>(p.entries[k].offsetOrRefs) == to) entryAtEnd = true;
    const AttrInfo after = StateAtOffset(p, to);
    std::int32_t w = 0;
    for (std::int32_t k = 0; k < p.entryCount; ++k) {
        const auto off = static_cast<std::int32_t>(p.entries[k].offsetOrRefs);
        if (off >= from && off < to) continue;
        p.entries[w++] = p.entries[k];
    }
    p.entryCount = w;
    if (from == to) return;
    std::int32_t k = 0;
    while (k < p.entryCount && static_cast<std::int32_t>(p.entries[k].offsetOrRefs) < to)
        ++k;
    if (!entryAtEnd) InsertEntryAt(p, k, after, to);
    if (set) {
        AttrInfo written = state;
        written.flags |= 0x80;
        k = 0;
        while (k < p.entryCount && static_cast<std::int32_t>(p.entries[k].offsetOrRefs) < from)
            ++k;
        InsertEntryAt(p, k, written, from);
    }
}

void THighlightPass::ApplyAttribute(std::int32_t from, std::int32_t to, bool set,
                                    const AttrInfo& state) {
    from = std::clamp(from, 0, model_.TextLength());
    to = std::clamp(to, from, model_.TextLength());
    if (from == to) return;
    const std::int32_t first = model_.FindParagraph(from);
    const std::int32_t last = model_.FindParagraph(to);
    for (std::int32_t i = first; i <= last; ++i) {
        ParagraphInfo& p = *model_.ParagraphAt(i);
        const std::int32_t start = model_.StartAt(i);
        const std::int32_t a = i == first ? from - start : 0;
        const std::int32_t b = i == last ? to - start : p.length;
        if (a < b) WriteOver(p, a, b, state, set);
    }
    model_.InvalidateLineCaches(from - 1, last);
    for (std::int32_t i = first; i <= last; ++i)
        model_.ParagraphAt(i)->laidOut = 0;
    if (model_.UpdateCount() == 0) model_.LayoutRange(first, last, false);
}

void THighlightPass::ResetHighlighting() {
    const std::int32_t count = model_.ParagraphCount();
    AttrInfo* first = model_.ParagraphAt(0)->startContext;
    for (std::int32_t i = 0; i < count; ++i) {
        ParagraphInfo* p = model_.ParagraphAt(i);
        p->laidOut = 0;
        p->startStopScanned = 0;
        p->keywordsApplied = 0;
        p->entryCount = 0;
        if (i > 0 && p->startContext != first) {
            ReleaseContext(p->startContext);
            RetainContext(first);
            p->startContext = first;
        }
        TLinesList lines(p);
        for (std::int32_t k = 0; k < lines.Count(); ++k)
            lines.At(k)->attrIndex = 0;
    }
    model_.InvalidateLineCaches(-1, count - 1);
    model_.ResetStartStopFrontier();
    model_.RelayoutAll();
}

void THighlightPass::HighlightAll() {
    const std::int32_t count = model_.ParagraphCount();
    for (std::int32_t i = 0; i < count; ++i) {
        ScanParagraph(i);
        KeywordsOfParagraph(i);
        ParagraphInfo* p = model_.ParagraphAt(i);
        p->keywordsApplied = 1;
        p->laidOut = 0;
    }
    model_.InvalidateLineCaches(-1, count - 1);
}

HighlightAtPosition THighlightPass::HighlightAt(std::int32_t position) const {
    position = std::clamp(position, 0, model_.TextLength());
    const std::int32_t i = model_.FindParagraph(position);
    const AttrInfo& state = StateAtOffset(*model_.ParagraphAt(i), position - model_.StartAt(i));
    HighlightAtPosition out;
    out.style = state.flags;
    out.highlighted = (state.flags & 0x80) != 0;
    out.firstColour = state.color1;
    out.secondColour = state.color2;
    out.contextNumber = state.context;
    out.cursor = state.cursor;
    return out;
}

std::uint8_t THighlightPass::RunStyleAt(std::int32_t position, std::uint8_t baseFontStyle) const {
    position = std::clamp(position, 0, model_.TextLength());
    const std::int32_t i = model_.FindParagraph(position);
    const std::int32_t offset = position - model_.StartAt(i);
    return EffectiveRunStyle(model_.StyleAt(i, offset),
                             StateAtOffset(*model_.ParagraphAt(i), offset), baseFontStyle);
}

void THighlightPass::SetHighlighter(THighlighter* highlighter, bool loading) {
    if (link_.Set(highlighter) && loading) ResetHighlighting();
}

void THighlightPass::SetUpperCaseType(TrzUpperCase type, bool designing) {
    model_.SetUpperCaseType(type);
    keywords_.SetUpperCaseType(type);
    startStop_.SetUpperCaseType(type);
    startStop_.Unprepare();
    if (designing) ResetHighlighting();
}

void THighlightPass::SetSeparators(std::string_view chars) {
    model_.SetSeparators(chars);
    separators_ = SeparatorsOf(model_);
    startStop_.Unprepare();
}

void THighlightPass::SetHighlightSeparators(std::string_view chars) {
    separators_ = TCharSet::Of(chars);
    startStop_.Unprepare();
}

void THighlightPass::SetApplyKeyWords(bool on, bool designing) {
    model_.SetApplyKeyWords(on);
    if (designing) ResetHighlighting();
}

void THighlightPass::SetApplyStartStopKeys(bool on, bool designing) {
    model_.SetApplyStartStopKeys(on);
    if (designing) ResetHighlighting();
}

void THighlightPass::PrepareList() {
    if (!startStop_.IsPrepared()) startStop_.Prepare(separators_);
}

} // namespace lorvane
