#pragma once
// The settings file's section of the document colouring: the switch, and
// colours the user may set by hand for each role in place of the scheme
// made for the background. Its keys are read whenever a document is
// coloured, so a hand edit shows in the next window opened.
#include "syntax/ColourScheme.h"

#include <string_view>

namespace lorvane {

struct HighlightSettings {
    bool on = true;
    // clDefault where the file sets no colour (or one that is no number).
    TColourScheme colours;
};

inline constexpr std::string_view kHighlightSection = "HIGHLIGHT";
inline constexpr std::string_view kHighlightOnKey = "Подсветка";
// The key of each role's colour, in role order.
std::string_view HighlightColourKey(TTokenRole role) noexcept;

HighlightSettings ReadHighlightSettings(std::string_view settingsFileName);
// Raises IoError naming the file when the system refuses the write.
void WriteHighlightOn(std::string_view settingsFileName, bool on);

} // namespace lorvane
