#pragma once
// The control's keyword vocabulary: words or strings highlighted wherever
// they occur. Every change re-prepares the list (upper-cased copies, the
// greatest length, and a first-byte index that lets the matcher look at each
// character of a paragraph once instead of once per keyword).
#include "editor/highlight/HighlightTypes.h"
#include "editor/model/UpperCase.h"
#include "platform/Stream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

struct KeywordInfo {
    AttributeHead head;
    std::int32_t length = 0; // set when the list is prepared
};

// Keywords the matcher may look for, grouped by the first byte of their
// prepared copy; each group keeps list order.
struct KeywordBuckets {
    struct Entry {
        const char* key; // the prepared copy, owned by the list
        std::int32_t keyword;
        std::int32_t length;
        bool wholeWords;
    };
    std::array<std::uint32_t, 257> begin{};
    std::vector<Entry> entries;
    // Every keyword here wants whole words: only word starts can match.
    bool allWholeWords = false;
    // One bit per pair of leading bytes some keyword can begin with (a
    // one-byte keyword admits every second byte): most positions of a
    // paragraph fail this test and cost no more than it.
    std::array<std::uint64_t, 1024> pairs{};

    bool Empty() const noexcept { return entries.empty(); }
    bool MayStart(unsigned char first, unsigned char second) const noexcept {
        const unsigned bit = (static_cast<unsigned>(first) << 8) | second;
        return (pairs[bit >> 6] >> (bit & 63)) & 1u;
    }
};

class TKeywordList {
public:
    static constexpr std::string_view kFilerProperty = "Strings";

    // What preparation derived from one keyword.
    struct Prepared {
        std::string key; // upper-cased unless the keyword matches case
        bool ignoresCase = false;
        bool wholeWords = false;
        bool searchable = false; // has a non-zero context number and can match at all
    };

    TKeywordList() = default;
    TKeywordList(const TKeywordList&) = delete;
    TKeywordList& operator=(const TKeywordList&) = delete;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const std::string& Strings(int index) const;
    // The keyword's attributes, or nullptr when it was added without them.
    const KeywordInfo* Objects(int index) const;

    // Adds a keyword with its attributes (which may be null) at the end. A
    // keyword longer than kMaxHighlightKeyLength raises lorvane::Error.
    int AddObject(std::string keyword, std::unique_ptr<KeywordInfo> info);
    int Add(std::string keyword, const AttributeHead& head);
    void Delete(int index);
    void Clear();
    // Copies every keyword and its attributes; the upper-case type and the
    // nesting option stay this list's own.
    void Assign(const TKeywordList& source);
    // The attribute head of the keyword; all zero when it has none.
    AttributeHead Attributes(int index) const;

    void BeginUpdate() noexcept { ++updateCount_; }
    void EndUpdate();

    TrzUpperCase UpperCaseType() const noexcept { return upperCaseType_; }
    void SetUpperCaseType(TrzUpperCase type);

    // When set, keywords may also match inside keyword highlights and
    // highlighter ranges, and each is searched from the window start.
    bool Nesting() const noexcept { return nesting_; }
    void SetNesting(bool nesting) noexcept { nesting_ = nesting; }

    // Prepared state; it reflects the list as of the last change outside an
    // update, so readers index it by PreparedCount(), not Count().
    int PreparedCount() const noexcept { return static_cast<int>(prepared_.size()); }
    const Prepared& PreparedKeyword(int index) const {
        return prepared_[static_cast<std::size_t>(index)];
    }
    int MaxLength() const noexcept { return maxLength_; }
    bool AnyIgnoresCase() const noexcept { return anyIgnoresCase_; }
    // Searchable keywords that match case, by their first byte.
    const KeywordBuckets& ExactBuckets() const noexcept { return exact_; }
    // Searchable keywords that ignore case, by the first byte of their upper-cased copy.
    const KeywordBuckets& UpperBuckets() const noexcept { return upper_; }

    // Filer property "Strings": written only when the list is not empty.
    bool ShouldWriteData() const noexcept { return !items_.empty(); }
    void WriteData(TStream& stream) const;
    // Replaces the list with what the stream holds. A malformed or truncated
    // stream raises lorvane::Error and leaves the list as it was.
    void ReadData(TStream& stream);

    // Fired after every change outside an update, once the list is prepared.
    std::function<void()> OnChange;

private:
    struct Item {
        std::string keyword;
        std::unique_ptr<KeywordInfo> info;
    };

    void CheckIndex(int index) const;
    void Changed();
    void Prepare();

    std::vector<Item> items_;
    int updateCount_ = 0;
    TrzUpperCase upperCaseType_ = rzuAscii;
    bool nesting_ = false;

    std::vector<Prepared> prepared_;
    int maxLength_ = 0;
    bool anyIgnoresCase_ = false;
    KeywordBuckets exact_;
    KeywordBuckets upper_;
};

} // namespace lorvane
