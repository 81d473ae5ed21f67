#pragma once
// Typing with the "Terminal" font, which draws bytes as their code page 866
// glyphs: typed Russian letters (Windows-1251) are stored as their code
// page 866 bytes so that they show as the letters typed, and the box-drawing
// input mode turns the Russian keyboard layout into a palette of
// pseudo-graphics characters.
namespace lorvane {

// The byte to store for a typed Windows-1251 byte. Only the 66 Russian
// letters change; every other byte passes unchanged.
unsigned char TerminalKey(unsigned char key, bool pseudoGraphics) noexcept;

} // namespace lorvane
