#pragma once
// The control's start/stop vocabulary: ranges (comments, strings, ...) that
// run from a start key to a stop key, possibly across paragraphs, possibly
// nested. Keys are kept as given and as prepared (upper-cased unless the
// entry matches case); the whole-word fields depend on the control's
// separators and are computed when a scan first needs them.
#include "editor/highlight/HighlightTypes.h"
#include "editor/model/UpperCase.h"
#include "platform/Stream.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

struct StartStopInfo {
    AttributeHead head;
    std::string startKey; // prepared: upper-cased unless head.options has kMatchCase
    std::string stopKey;  // prepared; empty when the range has no stop key
    std::int16_t startLength = 0;
    std::int16_t stopLength = 0;
    std::string startText; // as the caller gave them
    std::string stopText;
    bool endsAtParagraphEnd = false;
    // The first earlier entry with the same options and prepared start key, -1 when none.
    std::int16_t sameStartLink = -1;
    // Whole-word requirements, prepared from the separators: a separator (or
    // the paragraph edge) must stand on that side of the key.
    bool separatorAfterStart = false;
    bool separatorBeforeStart = false;
    bool separatorAfterStop = false;
    bool separatorBeforeStop = false;

    bool IgnoresCase() const noexcept { return (head.options & kMatchCase) == 0; }
};

class TStartStopKeyList {
public:
    static constexpr std::string_view kFilerProperty = "Keys";

    TStartStopKeyList() = default;
    TStartStopKeyList(const TStartStopKeyList&) = delete;
    TStartStopKeyList& operator=(const TStartStopKeyList&) = delete;

    int Count() const noexcept { return static_cast<int>(entries_.size()); }
    // Raises "List index out of bounds" outside 0 .. Count() - 1.
    const StartStopInfo& Get(int index) const;

    // Appends an entry and returns its index. An empty start key, a key
    // longer than kMaxHighlightKeyLength or a full list raise lorvane::Error.
    int Add(std::string_view start, std::string_view stop, bool endsAtParagraphEnd,
            std::uint32_t secondColour, std::uint32_t firstColour, std::int16_t cursor,
            std::int32_t contextNumber, std::uint8_t style, std::uint8_t options);
    void Clear() noexcept;

    TrzUpperCase UpperCaseType() const noexcept { return upperCaseType_; }
    // Re-prepares every key from the strings the caller gave.
    void SetUpperCaseType(TrzUpperCase type);

    int MaxStartLength() const noexcept { return maxStartLength_; }
    // At least 2 once an entry ends at the paragraph end (the line break).
    int MaxStopLength() const noexcept { return maxStopLength_; }
    bool AnyIgnoresCase() const noexcept { return anyIgnoresCase_; }

    // Computes the four separator fields of every entry; the scan calls it
    // when IsPrepared() is false, and a change of separators calls Unprepare().
    bool IsPrepared() const noexcept { return prepared_; }
    void Prepare(const TCharSet& separators) noexcept;
    void Unprepare() noexcept { prepared_ = false; }

    // The entry that opens at once when `closing` closes: the first later one
    // whose same-start link names it; -1 when there is none.
    int NextSameStart(int closing) const noexcept;

    // First bytes of start keys: of case-sensitive entries as written, of the
    // others upper-cased. A position whose byte is in neither cannot start a range.
    bool ExactFirstByte(unsigned char c) const noexcept { return exactFirst_[c]; }
    bool UpperFirstByte(unsigned char c) const noexcept { return upperFirst_[c]; }

    // Filer property "Keys": written only when the list is not empty.
    bool ShouldWriteData() const noexcept { return !entries_.empty(); }
    void WriteData(TStream& stream) const;
    // Replaces the list with what the stream holds. A malformed or truncated
    // stream raises lorvane::Error and leaves the list as it was.
    void ReadData(TStream& stream);

private:
    void PrepareKeys(StartStopInfo& entry) const;
    void Reindex() noexcept;

    std::vector<StartStopInfo> entries_;
    TrzUpperCase upperCaseType_ = rzuAscii;
    int maxStartLength_ = 0;
    int maxStopLength_ = 0;
    bool prepared_ = false;
    bool anyIgnoresCase_ = false;
    std::array<bool, 256> exactFirst_{};
    std::array<bool, 256> upperFirst_{};
};

} // namespace lorvane
