// The keyword pass: every keyword occurrence a paragraph's highlighting
// allows becomes one level of the state stack over the matched text.
#include "editor/highlight/HighlightPass.h"
#include "editor/model/RIzuvAzazModel.h"

#include <algorithm>
#include <cstdlib>

namespace lorvane {

// Expects the paragraph fresh from the start/stop scan (no keyword entries).
void THighlightPass::KeywordsOfParagraph(std::int32_t index) {
    ParagraphInfo* p = model_.ParagraphAt(index);
    if (THighlighter* highlighter = link_.Get()) {
        const std::int32_t start = model_.StartAt(index);
        hookFrom_.Invalidate();
        hookFrom_.SetPosition(start);
        hookTo_.Invalidate();
        hookTo_.SetPosition(start + p->length);
        highlighter->KeywordHook(hookFrom_, hookTo_, keywords_.Count());
    }
    if (!model_.ApplyKeyWords() || keywords_.PreparedCount() == 0 || p->length == 0) return;
    const bool nesting = keywords_.Nesting();
    if (p->entryCount == 0 && !KeywordsAllowedIn(*p->startContext, nesting)) return;

    scanner_.Load(std::string_view(p->text, static_cast<std::size_t>(p->length)),
                  OffsetWindow{0, p->length}, keywords_);
    {
        std::int32_t from = 0;
        const AttrInfo* state = p->startContext;
        for (std::int32_t k = 0; k <= p->entryCount; ++k) {
            const std::int32_t to = k < p->entryCount
                                        ? static_cast<std::int32_t>(p->entries[k].offsetOrRefs)
                                        : p->length;
            if (to > from && !KeywordsAllowedIn(*state, nesting)) scanner_.Mask(from, to);
            if (k < p->entryCount) {
                from = std::max(from, to);
                state = &p->entries[k];
            }
        }
    }
    matches_.clear();
    scanner_.Find(keywords_, separators_, 0, matches_);
    if (matches_.empty()) return;
    // Each match adds at most two entries; growing the array once saves a
    // reallocation per entry (layout trims it to size afterwards).
    ReserveEntries(*p, static_cast<std::size_t>(p->entryCount) + 2 * matches_.size());

    for (const KeywordMatch& m : matches_) {
        const AttrInfo* begin = p->entries;
        const AttrInfo* end = p->entries + p->entryCount;
        const auto before = static_cast<std::int32_t>(
            std::lower_bound(begin, end, m.offset,
                             [](const AttrInfo& a, std::int32_t o) {
                                 return static_cast<std::int32_t>(a.offsetOrRefs) < o;
                             }) -
            begin);
        const AttrInfo state = StateAtOffset(*p, m.offset);
        const int level = StateLevel(state);
        if (level >= kMaxNestingLevel) continue;
        if (level >= 0 && before > 0) p->entries[before - 1].closeLength = 0;
        const AttributeHead head = keywords_.Attributes(m.keyword);
        AttrInfo s = state;
        s.offsetOrRefs = 0;
        s.flags = static_cast<std::uint8_t>(head.style | 0xC0);
        s.level = static_cast<std::int8_t>(level + 1);
        s.stack[level + 1] = static_cast<std::uint16_t>(m.keyword);
        s.color1 = head.firstColour;
        s.color2 = head.secondColour;
        s.context = head.contextNumber;
        s.cursor = static_cast<std::uint16_t>(head.cursor);
        s.openLength = static_cast<std::uint8_t>(std::min(m.length, 255));
        s.closeLength = s.openLength;
        WriteOver(*p, m.offset, m.offset + m.length, s, true);
    }
    model_.InvalidateLineCaches(model_.StartAt(index) - 1, index);
}

void THighlightPass::KeywordPass(RIzuvAzazModel& model, std::int32_t paragraph) {
    if (!model.ParagraphAt(paragraph)->startStopScanned) {
        model.ScanStartStopUpTo(paragraph);
        if (!model.ParagraphAt(paragraph)->startStopScanned) ScanParagraph(paragraph);
    }
    KeywordsOfParagraph(paragraph);
}

void THighlightPass::KeywordPass(TNavigator& from, TNavigator& to) {
    const std::int32_t first = from.ParagraphIndex();
    const std::int32_t last = std::max(first, to.ParagraphIndex());
    for (std::int32_t i = first; i <= last; ++i) {
        // The scan clears old keyword highlights; the pass then rebuilds them.
        ScanParagraph(i);
        KeywordsOfParagraph(i);
        model_.ParagraphAt(i)->keywordsApplied = 1;
    }
}

} // namespace lorvane
