#include "editor/highlight/KeywordMatcher.h"

#include "editor/model/ErrorTexts.h"
#include "platform/Error.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

OffsetWindow KeywordPassWindow(int paragraphLength, int maxKeywordLength, bool firstParagraph,
                               int fromOffset, bool lastParagraph, int toOffset) noexcept {
    OffsetWindow w{0, paragraphLength};
    if (firstParagraph) w.begin = std::clamp(fromOffset - maxKeywordLength - 1, 0, paragraphLength);
    if (lastParagraph) {
        const long long end = static_cast<long long>(toOffset) + maxKeywordLength;
        w.end = static_cast<int>(std::clamp<long long>(end, w.begin, paragraphLength));
    }
    return w;
}

void KeywordScanner::Load(std::string_view paragraph, OffsetWindow window,
                          const TKeywordList& list) {
    const int length = static_cast<int>(paragraph.size());
    paragraph_ = paragraph;
    window_.begin = std::clamp(window.begin, 0, length);
    window_.end = std::clamp(window.end, window_.begin, length);
    const auto begin = static_cast<std::size_t>(window_.begin);
    const auto count = static_cast<std::size_t>(window_.end - window_.begin);
    const std::string_view text = paragraph.substr(begin, count);
    // Only the copies some keyword will search are made.
    hasExact_ = !list.ExactBuckets().Empty();
    if (hasExact_) {
        exact_.assign(text);
    } else {
        exact_.clear();
    }
    hasUpper_ = list.AnyIgnoresCase();
    if (hasUpper_) {
        UpperCaseCopy(list.UpperCaseType(), text, upper_);
    } else {
        upper_.clear();
    }
}

void KeywordScanner::Mask(int from, int to) noexcept {
    const int begin = std::max(from, window_.begin) - window_.begin;
    const int end = std::min(to, window_.end) - window_.begin;
    if (begin >= end) return;
    if (hasExact_)
        std::memset(exact_.data() + begin, kMaskCode, static_cast<std::size_t>(end - begin));
    if (hasUpper_)
        std::memset(upper_.data() + begin, kMaskCode, static_cast<std::size_t>(end - begin));
}

bool KeywordScanner::WholeWord(const TCharSet& separators, int offset, int length) const noexcept {
    // Neighbours come from the paragraph itself, so a window edge inside a
    // word never passes for a word boundary; only the paragraph's edges do.
    const int end = offset + length;
    if (offset > 0 && !separators.Contains(paragraph_[static_cast<std::size_t>(offset - 1)]))
        return false;
    return end >= static_cast<int>(paragraph_.size()) ||
           separators.Contains(paragraph_[static_cast<std::size_t>(end)]);
}

void KeywordScanner::Collect(const KeywordBuckets& buckets, const std::string& text,
                             const TCharSet& separators, int searchFrom, bool fromWindowStart) {
    const int n = static_cast<int>(text.size());
    const char* data = text.data();
    const char* paragraph = paragraph_.data();
    const bool wordStartsOnly = buckets.allWholeWords;
    for (int i = 0; i < n; ++i) {
        const int at = window_.begin + i;
        if (wordStartsOnly && at > 0 && !separators.Contains(paragraph[at - 1])) continue;
        const auto first = static_cast<unsigned char>(data[i]);
        // data[n] is the string's terminating zero.
        if (!buckets.MayStart(first, static_cast<unsigned char>(data[i + 1]))) continue;
        const std::uint32_t end = buckets.begin[first + 1u];
        for (std::uint32_t b = buckets.begin[first]; b < end; ++b) {
            const KeywordBuckets::Entry& e = buckets.entries[b];
            if (i + e.length > n) continue;
            if (!fromWindowStart && at < searchFrom - e.length) continue;
            if (e.length > 1 &&
                (data[i + 1] != e.key[1] ||
                 std::memcmp(data + i + 2, e.key + 2, static_cast<std::size_t>(e.length - 2)) != 0))
                continue;
            if (e.wholeWords && !WholeWord(separators, at, e.length)) continue;
            candidates_.emplace_back(e.keyword, i);
        }
    }
}

void KeywordScanner::Find(const TKeywordList& list, const TCharSet& separators, int searchFrom,
                          std::vector<KeywordMatch>& out) {
    // Load made the copies this list searches; a list changed in between
    // would be searched in text that was never copied or masked.
    if ((!list.ExactBuckets().Empty() && !hasExact_) ||
        (!list.UpperBuckets().Empty() && !hasUpper_))
        throw Error(texts::kInternalError);
    candidates_.clear();
    if (!list.ExactBuckets().Empty())
        Collect(list.ExactBuckets(), exact_, separators, searchFrom, list.Nesting());
    if (!list.UpperBuckets().Empty())
        Collect(list.UpperBuckets(), upper_, separators, searchFrom, list.Nesting());
    if (candidates_.empty()) return;

    // Keyword by keyword, left to right: an occurrence survives when no
    // earlier match (of an earlier keyword, or this keyword's previous hit)
    // covers any of its characters, which is what masking each hit would give.
    std::sort(candidates_.begin(), candidates_.end());
    taken_.assign(static_cast<std::size_t>(window_.end - window_.begin), 0);
    for (const auto& [k, i] : candidates_) {
        const int length = static_cast<int>(list.PreparedKeyword(k).key.size());
        unsigned char* cell = taken_.data() + i;
        if (std::find(cell, cell + length, 1) != cell + length) continue;
        std::fill(cell, cell + length, 1);
        out.push_back(KeywordMatch{k, window_.begin + i, length});
    }
}

} // namespace lorvane
