#pragma once
// Conversions behind the frame's text commands: tabs and spaces of a line,
// exchanged for each other with tab stops every ten columns (at columns 11,
// 21, 31, ... counting from 1), and the byte exchange of the DOS and KOI8
// display modes.
#include "codepage/CodePageLetters.h"

#include <array>
#include <string>
#include <string_view>

namespace lorvane {

inline constexpr std::size_t kTabWidth = 10;

// Every tab becomes the spaces up to the next tab stop.
std::string TabsToSpaces(std::string_view line);
void AppendTabsAsSpaces(std::string_view line, std::string& out);

// Every run of spaces, wherever it stands, becomes one tab for each started
// group of ten spaces: a run of k spaces gives ceil(k / 10) tabs. The
// result does not depend on the column the run starts at, so it is not the
// inverse of TabsToSpaces for runs that do not end on a tab stop.
std::string SpacesToTabs(std::string_view line);
void AppendSpacesAsTabs(std::string_view line, std::string& out);

// One line converted onto the end of `out`.
using LineConverter = void (*)(std::string_view line, std::string& out);

// The Russian letters of `text` moved from code page `from` to `to`, in
// place. Unlike plain recoding, no two bytes end up the same: a byte that is
// no letter in `from` but stands for one in `to` trades places with a letter
// of `from` that `to` lacks. Converting back with the pages exchanged so
// gives every byte back, whatever the text held.
void SwitchCodePage(TConvType from, TConvType to, std::string& text) noexcept;
// The byte exchange SwitchCodePage applies: byte b becomes table[b].
std::array<unsigned char, 256> CodePageExchange(TConvType from, TConvType to) noexcept;

} // namespace lorvane
