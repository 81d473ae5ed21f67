#pragma once
// How the text model measures text: the widget implements this on the
// toolkit's font metrics, tests and benchmarks with a fixed cell per byte.
#include <cstdint>

namespace lorvane {

class TextDevice {
public:
    virtual ~TextDevice() = default;
    // Selects the font for an effective style byte: bit 0 bold, 1 italic,
    // 2 underline, 3 strike-out, 5 alternate font, 7 special underline.
    virtual void SelectFont(std::uint8_t style) = 0;
    // Width in pixels of `length` bytes (Windows-1251) in the selected font.
    virtual int TextWidth(const char* text, std::int32_t length) = 0;
    // The width of each of `length` bytes alone, into widths[0 .. length).
    // Breaking a word longer than the line measures every byte once this way.
    virtual void CharWidths(const char* text, std::int32_t length, int* widths) {
        for (std::int32_t i = 0; i < length; ++i)
            widths[i] = TextWidth(text + i, 1);
    }
    virtual int AverageCharWidth() = 0;
    virtual int LineHeight() = 0;
    virtual int Ascent() = 0;
};

} // namespace lorvane
