#include "editor/highlight/StartStopMatcher.h"

#include "editor/model/ErrorTexts.h"
#include "platform/Error.h"

#include <algorithm>
#include <cstring>

namespace lorvane {
namespace {

void RequirePrepared(const TStartStopKeyList& list) {
    if (!list.IsPrepared()) throw Error(texts::kInternalError);
}

// Paragraph edges count as separators: a line break ends every word.
bool SeparatorBefore(std::string_view raw, int offset, const TCharSet& separators) noexcept {
    return offset == 0 || separators.Contains(raw[static_cast<std::size_t>(offset - 1)]);
}

bool SeparatorAt(std::string_view raw, int offset, const TCharSet& separators) noexcept {
    return offset >= static_cast<int>(raw.size()) ||
           separators.Contains(raw[static_cast<std::size_t>(offset)]);
}

} // namespace

void StartStopText::Load(std::string_view paragraph, const TStartStopKeyList& list) {
    raw_ = paragraph;
    hasUpper_ = list.AnyIgnoresCase();
    if (hasUpper_) {
        UpperCaseCopy(list.UpperCaseType(), paragraph, upper_);
    }
}

OffsetWindow StartSearchWindow(int current, int rangeEnd, int paragraphLength,
                               const TStartStopKeyList& list) noexcept {
    const int reach = list.MaxStartLength() + 1;
    OffsetWindow w;
    w.begin = std::clamp(current - reach, 0, paragraphLength);
    const long long end = static_cast<long long>(rangeEnd) + reach;
    w.end = static_cast<int>(std::clamp<long long>(end, w.begin, paragraphLength));
    return w;
}

StartKeyMatch FindStartKey(const StartStopText& text, const TStartStopKeyList& list,
                           const TCharSet& separators, OffsetWindow window, int mustEndAfter,
                           std::span<const OffsetRange> blocked) {
    RequirePrepared(list);
    const std::string_view raw = text.Raw();
    const std::string_view upper = text.Upper();
    const int length = text.Length();
    const int begin = std::max(window.begin, 0);
    const int end = std::min(window.end, length);
    // No key can end after mustEndAfter from a position this far before it.
    const int earliest = mustEndAfter - list.MaxStartLength();
    std::size_t block = 0;
    for (int p = std::max(begin, earliest); p < end; ++p) {
        while (block < blocked.size() && blocked[block].to <= p)
            ++block;
        if (block < blocked.size() && blocked[block].from <= p) {
            p = blocked[block].to - 1;
            continue;
        }
        const auto r = static_cast<unsigned char>(raw[static_cast<std::size_t>(p)]);
        const auto u = static_cast<unsigned char>(upper[static_cast<std::size_t>(p)]);
        if (!list.ExactFirstByte(r) && !list.UpperFirstByte(u)) continue;
        for (int e = 0; e < list.Count(); ++e) {
            const StartStopInfo& entry = list.Get(e);
            const int keyLength = entry.startLength;
            const int openLength = keyLength + (entry.separatorAfterStart ? 1 : 0);
            if (p + keyLength > length || p + openLength <= mustEndAfter) continue;
            const std::string_view source = entry.IgnoresCase() ? upper : raw;
            if (std::memcmp(source.data() + p, entry.startKey.data(),
                            static_cast<std::size_t>(keyLength)) != 0)
                continue;
            if (entry.separatorBeforeStart && !SeparatorBefore(raw, p, separators)) continue;
            if (entry.separatorAfterStart && !SeparatorAt(raw, p + keyLength, separators)) continue;
            return StartKeyMatch{e, p, keyLength, openLength};
        }
    }
    return {};
}

int FindStopKey(const StartStopText& text, const TStartStopKeyList& list, int entryIndex,
                const TCharSet& separators, int from, int limit) {
    RequirePrepared(list);
    const StartStopInfo& entry = list.Get(entryIndex);
    if (entry.stopKey.empty()) return -1;
    const std::string_view raw = text.Raw();
    const std::string_view source = entry.IgnoresCase() ? text.Upper() : raw;
    limit = std::min(limit, text.Length());
    std::size_t pos = static_cast<std::size_t>(std::max(from, 0));
    while (true) {
        pos = source.find(entry.stopKey, pos);
        if (pos == std::string_view::npos || static_cast<int>(pos) >= limit) return -1;
        const int p = static_cast<int>(pos);
        if ((!entry.separatorBeforeStop || SeparatorBefore(raw, p, separators)) &&
            (!entry.separatorAfterStop || SeparatorAt(raw, p + entry.stopLength, separators)))
            return p;
        ++pos;
    }
}

} // namespace lorvane
