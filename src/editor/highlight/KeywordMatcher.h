#pragma once
// The matching half of the keyword pass, over one paragraph's bytes: copy
// the window (and upper-case it when some keyword ignores case), mask the
// characters where no keyword may match, then find every keyword occurrence
// with the rules of the pass: keywords in list order, left to right, each
// continuing after its own hits, an earlier keyword's match hiding the text
// from later ones, and whole-word checks against the separators.
//
// Find gives exactly what searching the masked copy keyword by keyword and
// overwriting each hit would, but looks at each window character once,
// through the list's first-byte index, instead of once per keyword.
#include "editor/highlight/HighlightTypes.h"
#include "editor/highlight/KeywordList.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lorvane {

struct KeywordMatch {
    int keyword = 0; // index in the keyword list
    int offset = 0;  // in the paragraph
    int length = 0;

    friend bool operator==(const KeywordMatch&, const KeywordMatch&) = default;
};

struct OffsetWindow {
    int begin = 0; // paragraph offsets, end exclusive
    int end = 0;
};

// The part of a paragraph the keyword pass over [from, to] looks at: in the
// first paragraph it starts the greatest keyword length plus one before
// `from`, in the last it ends the greatest length after `to`, elsewhere it is
// the whole paragraph.
OffsetWindow KeywordPassWindow(int paragraphLength, int maxKeywordLength, bool firstParagraph,
                               int fromOffset, bool lastParagraph, int toOffset) noexcept;

class KeywordScanner {
public:
    // Copies paragraph[begin, end). The paragraph must outlive Find, since the
    // whole-word checks read the characters around the window.
    void Load(std::string_view paragraph, OffsetWindow window, const TKeywordList& list);
    // Hides paragraph offsets [from, to) (clipped to the window) from every keyword.
    void Mask(int from, int to) noexcept;
    // Appends the matches, in list order and left to right per keyword. In the
    // pass's first paragraph `searchFrom` is the from offset: each keyword is
    // then looked for from searchFrom minus its own length, so that a match
    // overlapping the edit is found (from the window start with the list's
    // nesting option). Elsewhere pass the window start.
    void Find(const TKeywordList& list, const TCharSet& separators, int searchFrom,
              std::vector<KeywordMatch>& out);

private:
    bool WholeWord(const TCharSet& separators, int offset, int length) const noexcept;
    void Collect(const KeywordBuckets& buckets, const std::string& text, const TCharSet& separators,
                 int searchFrom, bool fromWindowStart);

    std::string_view paragraph_;
    OffsetWindow window_;
    std::string exact_;
    std::string upper_;
    bool hasExact_ = false;
    bool hasUpper_ = false;
    std::vector<std::pair<int, int>> candidates_; // (keyword, window offset)
    std::vector<unsigned char> taken_;
};

} // namespace lorvane
