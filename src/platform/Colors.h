#pragma once
// Colours as the program stores them: a 32-bit value that is either an RGB
// colour laid out 0x00BBGGRR, or a system colour (high bit set, index of the
// desktop's colour in the low byte). Settings files keep them as signed
// integers, so a system colour reads back negative. The constants are plain
// data so the Qt-free editor core can use them; only the conversions below
// need Qt (and the lorvane_platform library).
#include <cstdint>

class QColor;
class QPalette;

namespace lorvane {

using TColor = std::int32_t;

constexpr TColor RgbColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept {
    return static_cast<TColor>(static_cast<std::uint32_t>(r) |
                               (static_cast<std::uint32_t>(g) << 8) |
                               (static_cast<std::uint32_t>(b) << 16));
}

constexpr TColor SystemColor(std::uint8_t index) noexcept {
    return static_cast<TColor>(0x80000000u | index);
}

constexpr bool IsSystemColor(TColor color) noexcept {
    return (static_cast<std::uint32_t>(color) & 0x80000000u) != 0;
}

constexpr std::uint8_t RedOf(TColor c) noexcept {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(TColor c) noexcept {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(TColor c) noexcept {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

// Indexes of the desktop's colours.
enum SystemColorIndex : std::uint8_t {
    sciScrollBar = 0,
    sciBackground = 1,
    sciActiveCaption = 2,
    sciInactiveCaption = 3,
    sciMenu = 4,
    sciWindow = 5,
    sciWindowFrame = 6,
    sciMenuText = 7,
    sciWindowText = 8,
    sciCaptionText = 9,
    sciActiveBorder = 10,
    sciInactiveBorder = 11,
    sciAppWorkSpace = 12,
    sciHighlight = 13,
    sciHighlightText = 14,
    sciBtnFace = 15,
    sciBtnShadow = 16,
    sciGrayText = 17,
    sciBtnText = 18,
    sciInactiveCaptionText = 19,
    sciBtnHighlight = 20,
    sci3DDkShadow = 21,
    sci3DLight = 22,
    sciInfoText = 23,
    sciInfoBk = 24,
    sciSystemColorCount = 25,
};

// The sixteen basic colours.
constexpr TColor clBlack = RgbColor(0x00, 0x00, 0x00);
constexpr TColor clMaroon = RgbColor(0x80, 0x00, 0x00);
constexpr TColor clGreen = RgbColor(0x00, 0x80, 0x00);
constexpr TColor clOlive = RgbColor(0x80, 0x80, 0x00);
constexpr TColor clNavy = RgbColor(0x00, 0x00, 0x80);
constexpr TColor clPurple = RgbColor(0x80, 0x00, 0x80);
constexpr TColor clTeal = RgbColor(0x00, 0x80, 0x80);
constexpr TColor clGray = RgbColor(0x80, 0x80, 0x80);
constexpr TColor clSilver = RgbColor(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = RgbColor(0xFF, 0x00, 0x00);
constexpr TColor clLime = RgbColor(0x00, 0xFF, 0x00);
constexpr TColor clYellow = RgbColor(0xFF, 0xFF, 0x00);
constexpr TColor clBlue = RgbColor(0x00, 0x00, 0xFF);
constexpr TColor clFuchsia = RgbColor(0xFF, 0x00, 0xFF);
constexpr TColor clAqua = RgbColor(0x00, 0xFF, 0xFF);
constexpr TColor clWhite = RgbColor(0xFF, 0xFF, 0xFF);
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;

// System colours.
constexpr TColor clScrollBar = SystemColor(sciScrollBar);
constexpr TColor clBackground = SystemColor(sciBackground);
constexpr TColor clActiveCaption = SystemColor(sciActiveCaption);
constexpr TColor clInactiveCaption = SystemColor(sciInactiveCaption);
constexpr TColor clMenu = SystemColor(sciMenu);
constexpr TColor clWindow = SystemColor(sciWindow);
constexpr TColor clWindowFrame = SystemColor(sciWindowFrame);
constexpr TColor clMenuText = SystemColor(sciMenuText);
constexpr TColor clWindowText = SystemColor(sciWindowText);
constexpr TColor clCaptionText = SystemColor(sciCaptionText);
constexpr TColor clActiveBorder = SystemColor(sciActiveBorder);
constexpr TColor clInactiveBorder = SystemColor(sciInactiveBorder);
constexpr TColor clAppWorkSpace = SystemColor(sciAppWorkSpace);
constexpr TColor clHighlight = SystemColor(sciHighlight);
constexpr TColor clHighlightText = SystemColor(sciHighlightText);
constexpr TColor clBtnFace = SystemColor(sciBtnFace);
constexpr TColor clBtnShadow = SystemColor(sciBtnShadow);
constexpr TColor clGrayText = SystemColor(sciGrayText);
constexpr TColor clBtnText = SystemColor(sciBtnText);
constexpr TColor clInactiveCaptionText = SystemColor(sciInactiveCaptionText);
constexpr TColor clBtnHighlight = SystemColor(sciBtnHighlight);
constexpr TColor cl3DDkShadow = SystemColor(sci3DDkShadow);
constexpr TColor cl3DLight = SystemColor(sci3DLight);
constexpr TColor clInfoText = SystemColor(sciInfoText);
constexpr TColor clInfoBk = SystemColor(sciInfoBk);

// "No colour" and "the control's default": not colours at all; drawing code
// must treat them before converting (ToQColor gives an invalid QColor).
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// RGB colours convert directly; system colours are looked up in `palette`
// (the application's palette when none is given). Unknown system indexes and
// the two special values give an invalid QColor.
QColor ToQColor(TColor color);
QColor ToQColor(TColor color, const QPalette& palette);
// Always an RGB value; the alpha channel is dropped.
TColor FromQColor(const QColor& color) noexcept;

} // namespace lorvane
