#pragma once
// How a text file keeps its text: the line-break style it uses and, for
// UTF-8 files, the way between its characters and the single-byte page the
// editor holds. Plain C++: the loaders and savers of the program decide with
// it, the tests check it without a window.
#include "platform/CodePageTables.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lorvane {

// Ordered as the editor's own line-break setting, so the values map across.
enum class TBreakStyle : std::uint8_t { CRLF, LFCR, CR, LF };

std::string_view BreakBytes(TBreakStyle style) noexcept;
// "CR LF", "LF CR", "CR", "LF": what the status bar shows.
std::string_view BreakName(TBreakStyle style) noexcept;

// The style most of the file's breaks have, counted as the editor's loader
// pairs them (CR LF and LF CR are one break each). Ties go to CR LF, then
// LF, then CR; a file without breaks is CR LF, as a new document.
TBreakStyle DetectBreakStyle(std::string_view bytes) noexcept;

inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Whether `bytes` is UTF-8 text worth reading as such: every sequence well
// formed (no overlong form, surrogate or value past U+10FFFF) and at least
// one character beyond ASCII, or the byte-order mark in front. Plain ASCII
// is not: it reads the same either way.
bool IsUtf8Text(std::string_view bytes) noexcept;

// A UTF-8 text brought to the bytes of `page`, the mark (if any) left out.
// Characters the page lacks become '?'; the first of them is reported so
// the caller can refuse to let that text be written back.
struct TUtf8Decoded {
    std::string bytes;
    bool mark = false;
    bool complete = true;         // every character found a byte
    char32_t firstMissing = 0;    // when not complete
    std::int64_t missingLine = 0; // its line, from 1
};
// `progress`, when given, hears now and then how far the work is, in percent.
TUtf8Decoded DecodeUtf8Text(std::string_view utf8, cp::CodePage page,
                            const std::function<void(int)>& progress = nullptr);

// The inverse: the page's bytes as UTF-8, the mark in front when asked.
// A byte the page leaves undefined is written as U+FFFD.
std::string EncodeUtf8Text(std::string_view bytes, cp::CodePage page, bool mark,
                           const std::function<void(int)>& progress = nullptr);

// Line number (from 1) of byte `offset`, counting breaks as the editor's
// loader does.
std::int64_t LineOfOffset(std::string_view bytes, std::size_t offset) noexcept;

// How many times each byte value occurs.
using TByteCounts = std::array<std::int64_t, 256>;
TByteCounts CountBytes(std::string_view bytes) noexcept;

} // namespace lorvane
