#pragma once
// Full 256-entry tables for the single-byte Cyrillic code pages the program
// meets: each to and from Unicode (drawing, the clipboard, typed input), the
// Windows-1251 to code page 866 conversion of every byte (what the DOS stream
// writes), and Windows-1251 upper- and lower-casing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane::cp {

enum class CodePage : std::uint8_t { Win1251, Koi8R, Cp866, MacCyrillic, Iso8859_5 };

// Unicode code point of byte b in the code page (0xFFFD where undefined).
char32_t ToUnicode(CodePage page, unsigned char b) noexcept;
// The byte that encodes c in the code page, or -1 when the page lacks it.
int FromUnicode(CodePage page, char32_t c) noexcept;

// Number of code pages above; the enumeration's values index tables.
inline constexpr int kCodePageCount = 5;

// UTF-8 helpers. AppendUtf8 writes the encoding of c (U+FFFD for a value
// that is no Unicode scalar). NextUtf8 decodes the character at pos and
// advances pos past it; a malformed or truncated sequence yields U+FFFD and
// advances by one byte, so no input can stall or overrun a loop.
void AppendUtf8(std::string& out, char32_t c);
char32_t NextUtf8(std::string_view utf8, std::size_t& pos) noexcept;

// UTF-8 <-> bytes of a code page. Characters the page lacks become `missing`
// on the way in (or are dropped when missing is 0).
std::string DecodeToUtf8(CodePage page, std::string_view bytes);
std::string EncodeFromUtf8(CodePage page, std::string_view utf8, char missing = '?');

// Windows-1251 -> code page 866 for every byte (best fit where 866 has a
// near equivalent, '?' where it has none).
const unsigned char* Win1251ToCp866Table() noexcept;

// Windows-1251 upper- and lower-casing of one byte (letters only).
unsigned char UpperCase1251(unsigned char b) noexcept;
unsigned char LowerCase1251(unsigned char b) noexcept;
const unsigned char* UpperCase1251Table() noexcept;
const unsigned char* LowerCase1251Table() noexcept;
// Whether two Windows-1251 strings differ only in the case of letters.
bool EqualIgnoringCase1251(std::string_view a, std::string_view b) noexcept;
// Code page 866 upper-casing of one byte (Latin and Russian letters only;
// box drawing never folds onto a letter), and the comparison built on it.
unsigned char UpperCase866(unsigned char b) noexcept;
bool EqualIgnoringCase866(std::string_view a, std::string_view b) noexcept;

} // namespace lorvane::cp
