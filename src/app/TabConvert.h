#pragma once
// Tabs and spaces of one line of text, exchanged for each other with tab
// stops every ten columns (at columns 11, 21, 31, ... counting from 1).
#include <string>
#include <string_view>

namespace lorvane {

inline constexpr std::size_t kTabWidth = 10;

// Every tab becomes the spaces up to the next tab stop.
std::string TabsToSpaces(std::string_view line);

// Every run of spaces, wherever it stands, becomes one tab for each started
// group of ten spaces: a run of k spaces gives ceil(k / 10) tabs. The
// result does not depend on the column the run starts at, so it is not the
// inverse of TabsToSpaces for runs that do not end on a tab stop.
std::string SpacesToTabs(std::string_view line);

} // namespace lorvane
