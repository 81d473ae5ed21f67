#pragma once
// The matching half of the start/stop scan, over one paragraph's bytes:
// finding the stop key of the range in force, and finding the first start
// key of a search window. The scan itself (states, attribute entries,
// propagation) is built on these.
#include "editor/highlight/HighlightTypes.h"
#include "editor/highlight/KeywordMatcher.h"
#include "editor/highlight/StartStopList.h"

#include <span>
#include <string>
#include <string_view>

namespace lorvane {

// Paragraph offsets [from, to).
struct OffsetRange {
    int from = 0;
    int to = 0;
};

struct StartKeyMatch {
    int entry = -1;     // index in the list; -1 when nothing matched
    int offset = -1;    // where the start key begins
    int length = 0;     // the start key's length
    int openLength = 0; // length plus one when a separator must follow the key

    explicit operator bool() const noexcept { return entry >= 0; }
};

// One paragraph as the scan compares it: the bytes, and an upper-cased copy
// when some entry of the list ignores case.
class StartStopText {
public:
    // The paragraph must outlive every search on this text.
    void Load(std::string_view paragraph, const TStartStopKeyList& list);

    std::string_view Raw() const noexcept { return raw_; }
    std::string_view Upper() const noexcept { return hasUpper_ ? std::string_view(upper_) : raw_; }
    int Length() const noexcept { return static_cast<int>(raw_.size()); }

private:
    std::string_view raw_;
    std::string upper_;
    bool hasUpper_ = false;
};

// The positions a start search from `current` tries when the scan range ends
// at `rangeEnd`: from the greatest start length plus one before the current
// position to as far beyond the range end, within the paragraph.
OffsetWindow StartSearchWindow(int current, int rangeEnd, int paragraphLength,
                               const TStartStopKeyList& list) noexcept;

// The first position p in [window.begin, window.end), outside every blocked
// range (sorted, non-overlapping: where the state in force allows no new
// range), at which a start key matches, and at that position the first entry
// in list order. A key counts only when it (plus its required separator)
// ends after `mustEndAfter`, so a key completed by the character just typed
// at that offset is found while keys wholly before it are not found again.
// The list must be prepared (raises "Internal DudoDaze error" otherwise).
StartKeyMatch FindStartKey(const StartStopText& text, const TStartStopKeyList& list,
                           const TCharSet& separators, OffsetWindow window, int mustEndAfter,
                           std::span<const OffsetRange> blocked = {});

// The offset of the first occurrence of the entry's stop key that begins in
// [from, limit) and passes its whole-word checks, or -1 (always -1 for an
// entry without a stop key). The list must be prepared.
int FindStopKey(const StartStopText& text, const TStartStopKeyList& list, int entry,
                const TCharSet& separators, int from, int limit);

} // namespace lorvane
