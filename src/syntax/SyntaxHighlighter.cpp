#include "syntax/SyntaxHighlighter.h"

#include "editor/highlight/HighlightPass.h"
#include "editor/model/Navigator.h"

#include <algorithm>

namespace lorvane {
namespace {

char UpperAscii(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

AttributeHead RoleHead(TTokenRole role, const TColourScheme& scheme, std::uint8_t options) {
    AttributeHead head;
    head.options = options;
    head.contextNumber = static_cast<std::int32_t>(role) + 1;
    head.firstColour = static_cast<std::uint32_t>(scheme[role]);
    head.secondColour = static_cast<std::uint32_t>(clNone);
    return head;
}

TSyntaxHighlighter::TSyntaxHighlighter(const std::vector<TSyntaxRange>& ranges,
                                       const TColourScheme& scheme, bool matchCase)
    : matchCase_(matchCase) {
    for (const TSyntaxRange& r : ranges) {
        ranges_.push_back({r, RoleHead(r.role, scheme, matchCase ? kMatchCase : 0)});
        const auto first = static_cast<unsigned char>(r.start.front());
        startByte_[first] = true;
        if (!matchCase) {
            startByte_[static_cast<unsigned char>(UpperAscii(static_cast<char>(first)))] = true;
            if (first >= 'A' && first <= 'Z') startByte_[first - 'A' + 'a'] = true;
        }
    }
}

bool TSyntaxHighlighter::KeyAt(const char* text, std::int32_t length, std::int32_t at,
                               const std::string& key) const noexcept {
    const auto n = static_cast<std::int32_t>(key.size());
    if (at + n > length) return false;
    for (std::int32_t k = 0; k < n; ++k) {
        const char a = text[at + k];
        const char b = key[static_cast<std::size_t>(k)];
        if (matchCase_ ? a != b : UpperAscii(a) != UpperAscii(b)) return false;
    }
    return true;
}

bool TSyntaxHighlighter::StartHook(TNavigator& from, TNavigator& to, int startStopCount) {
    const AttrInfo state = from.CurrentState();
    const int level = TNavigator::StartStopLevel(state);
    if (level >= 0) return false; // nothing opens inside a range
    const std::int32_t index = from.ParagraphIndex();
    const ParagraphInfo* p = from.Paragraph();
    if (p->text == nullptr) return false;
    const std::int32_t offset = from.ParagraphOffset();
    const std::int32_t limit = to.ParagraphIndex() == index ? to.ParagraphOffset() : p->length;
    std::int32_t firstNonBlank = 0;
    while (firstNonBlank < p->length &&
           (p->text[firstNonBlank] == ' ' || p->text[firstNonBlank] == '\t'))
        ++firstNonBlank;
    for (std::int32_t at = offset; at < limit; ++at) {
        if (!startByte_[static_cast<unsigned char>(p->text[at])]) continue;
        for (std::size_t i = 0; i < ranges_.size(); ++i) {
            const Range& r = ranges_[i];
            if (r.range.lineStart && at != firstNonBlank) continue;
            if (!KeyAt(p->text, p->length, at, r.range.start)) continue;
            AttrInfo s = state;
            s.flags = static_cast<std::uint8_t>(0xC0 | r.head.style);
            s.level = 0;
            s.stack[0] = static_cast<std::uint16_t>(startStopCount + static_cast<int>(i));
            s.color1 = r.head.firstColour;
            s.color2 = r.head.secondColour;
            s.context = r.head.contextNumber;
            s.cursor = static_cast<std::uint16_t>(r.head.cursor);
            s.openLength = static_cast<std::uint8_t>(r.range.start.size());
            s.closeLength = static_cast<std::uint8_t>(r.range.stop.size());
            from.SetPosition(from.Position() + (at - offset));
            from.InsertEntry(s);
            return true;
        }
    }
    return false;
}

bool TSyntaxHighlighter::StopHook(TNavigator& from, TNavigator& to, int startStopCount) {
    const AttrInfo state = from.CurrentState();
    const int level = TNavigator::StartStopLevel(state);
    if (level < 0 || state.stack[level] >= kOwnKeyBase) return false;
    const int which = static_cast<int>(state.stack[level]) - startStopCount;
    if (which < 0 || which >= static_cast<int>(ranges_.size())) return false;
    const TSyntaxRange& r = ranges_[static_cast<std::size_t>(which)].range;
    const std::int32_t index = from.ParagraphIndex();
    const ParagraphInfo* p = from.Paragraph();
    const char* text = p->text ? p->text : "";
    const std::int32_t length = p->length;
    const std::int32_t offset = from.ParagraphOffset();
    const std::int32_t limit = to.ParagraphIndex() == index ? to.ParagraphOffset() : length;

    std::int32_t closeAt = -1;
    bool carriedOn = false; // an escape character ends the line
    for (std::int32_t at = offset; at < limit; ++at) {
        if (r.escape != 0 && text[at] == r.escape) {
            if (at + 1 >= length) carriedOn = true;
            ++at; // the escaped character never closes the range
            continue;
        }
        if (!r.stop.empty() && KeyAt(text, length, at, r.stop)) {
            closeAt = at + static_cast<std::int32_t>(r.stop.size());
            break;
        }
    }
    if (closeAt < 0) {
        if (!r.endsAtLineEnd || carriedOn || limit < length) return false;
        closeAt = length;
    }
    AttrInfo after{};
    if (level > 0) {
        after = state;
        after.level = static_cast<std::int8_t>(level - 1);
    }
    from.SetPosition(from.Position() + (closeAt - offset));
    from.InsertEntry(after);
    return true;
}

std::unique_ptr<TSyntaxHighlighter> BuildHighlighting(const TSyntax& syntax,
                                                      const TColourScheme& scheme,
                                                      TKeywordList& keywords,
                                                      TStartStopKeyList& keys) {
    const std::uint8_t caseOption = syntax.matchCase ? kMatchCase : 0;
    keywords.BeginUpdate();
    try {
        keywords.Clear();
        for (const TKeywordGroup& group : syntax.groups) {
            const AttributeHead head = RoleHead(group.role, scheme, caseOption | kWholeWords);
            for (const std::string& word : group.words)
                keywords.Add(word, head);
        }
    } catch (...) {
        keywords.EndUpdate();
        throw;
    }
    keywords.EndUpdate();
    keys.Clear();
    const bool hooks = std::any_of(syntax.ranges.begin(), syntax.ranges.end(),
                                   [](const TSyntaxRange& r) { return r.NeedsHighlighter(); });
    if (hooks) return std::make_unique<TSyntaxHighlighter>(syntax.ranges, scheme, syntax.matchCase);
    for (const TSyntaxRange& r : syntax.ranges) {
        const AttributeHead head = RoleHead(r.role, scheme, caseOption);
        keys.Add(r.start, r.stop, r.endsAtLineEnd, head.secondColour, head.firstColour, head.cursor,
                 head.contextNumber, head.style, head.options);
    }
    return nullptr;
}

} // namespace lorvane
