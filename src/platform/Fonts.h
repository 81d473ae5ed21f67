#pragma once
// Fonts by their logical names. The program and its settings keep the names
// the user knows ("System", "Terminal", "MS Sans Serif"); only when a QFont
// is built is the name resolved to a family that is installed here. The
// style bits are the ones the editor's style byte uses, so they stay Qt-free.
#include <string>
#include <vector>

class QFont;

namespace lorvane {

enum FontStyleBit : unsigned {
    fsBold = 1u << 0,
    fsItalic = 1u << 1,
    fsUnderline = 1u << 2,
    fsStrikeOut = 1u << 3,
};

// A font as the program describes it. A non-zero `height` is in pixels and
// wins over `size`, which is in points (negative heights are taken by their
// magnitude: both mean the character height here).
struct LogicalFont {
    std::string name;
    int height = 0;
    int size = 10;
    unsigned style = 0;
    bool fixedPitch = false;
};

// The installed family that stands in for a logical name; any other name is
// returned as given.
std::string ResolveFontFamily(const std::string& name);

// The logical names the program offers besides the installed families.
const std::vector<std::string>& LogicalFontNames();

QFont MakeFont(const LogicalFont& font);

// True for the font that draws bytes as their code page 866 glyphs. The
// comparison is exact, as the shell's tests of the font name are.
bool IsTerminalFont(const std::string& name) noexcept;

} // namespace lorvane
