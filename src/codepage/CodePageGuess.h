#pragma once
// Telling which single-byte page a Russian text was written in: Windows-1251,
// code page 866 or KOI8-R. Each page is tried as a reading of the bytes and
// scored by how much the letters it gives look like Russian (how often each
// letter occurs, where the case changes, which letters may follow which);
// the reading that scores clearly best wins. Windows-1251 is the answer
// whenever the others do not win by a wide margin: a guess that is wrong
// the other way would show the user's own text as mojibake.
#include "codepage/CodePageLetters.h"

#include <cstddef>
#include <string_view>

namespace lorvane {

struct TCodePageScores {
    // Indexed by TConvType; only PG_WIN, PG_KOI and PG_DOS886 are scored.
    double score[kConvTypeCount] = {};
    int letters[kConvTypeCount] = {};
};

// Only this much of the start of a file is looked at: enough for any
// decision, and a huge file still opens at once.
inline constexpr std::size_t kGuessSample = 1 << 20;

TCodePageScores ScoreCodePages(std::string_view bytes) noexcept;

// PG_DOS886 or PG_KOI when the text clearly is in that page, otherwise
// PG_WIN (also for text without Russian letters).
TConvType GuessCodePage(std::string_view bytes) noexcept;

} // namespace lorvane
