#include "platform/Colors.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

#include <array>

namespace lorvane {

namespace {

struct PaletteSlot {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Where each desktop colour lives in a Qt palette, by index. The closest role
// is taken; the caption colours have no palette role of their own.
constexpr std::array<PaletteSlot, sciSystemColorCount> kSlots{{
    {QPalette::Active, QPalette::Button},          // scroll bar
    {QPalette::Active, QPalette::Window},          // desktop background
    {QPalette::Active, QPalette::Highlight},       // active caption
    {QPalette::Active, QPalette::Mid},             // inactive caption
    {QPalette::Active, QPalette::Window},          // menu
    {QPalette::Active, QPalette::Base},            // window
    {QPalette::Active, QPalette::Shadow},          // window frame
    {QPalette::Active, QPalette::WindowText},      // menu text
    {QPalette::Active, QPalette::Text},            // window text
    {QPalette::Active, QPalette::HighlightedText}, // caption text
    {QPalette::Active, QPalette::Window},          // active border
    {QPalette::Active, QPalette::Window},          // inactive border
    {QPalette::Active, QPalette::Dark},            // application work space
    {QPalette::Active, QPalette::Highlight},       // highlight
    {QPalette::Active, QPalette::HighlightedText}, // highlight text
    {QPalette::Active, QPalette::Button},          // button face
    {QPalette::Active, QPalette::Dark},            // button shadow
    {QPalette::Disabled, QPalette::Text},          // grey text
    {QPalette::Active, QPalette::ButtonText},      // button text
    {QPalette::Active, QPalette::Midlight},        // inactive caption text
    {QPalette::Active, QPalette::Light},           // button highlight
    {QPalette::Active, QPalette::Shadow},          // 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 3-D light
    {QPalette::Active, QPalette::ToolTipText},     // tooltip text
    {QPalette::Active, QPalette::ToolTipBase},     // tooltip background
}};

} // namespace

namespace {

// Only the 24 colour bits make an RGB colour; anything above them (clNone,
// clDefault, palette-relative forms) is nothing we can draw with.
QColor RgbToQColor(TColor color) {
    if ((static_cast<std::uint32_t>(color) & 0xFF000000u) != 0) return {};
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

} // namespace

QColor ToQColor(TColor color) {
    // Painting converts colours all the time: no palette copy for RGB ones.
    if (!IsSystemColor(color)) return RgbToQColor(color);
    return ToQColor(color, QApplication::palette());
}

QColor ToQColor(TColor color, const QPalette& palette) {
    if (!IsSystemColor(color)) return RgbToQColor(color);
    const std::uint32_t index = static_cast<std::uint32_t>(color) & 0x7FFFFFFFu;
    if (index >= kSlots.size()) return {};
    return palette.color(kSlots[index].group, kSlots[index].role);
}

TColor FromQColor(const QColor& color) noexcept {
    const QColor rgb = color.toRgb();
    return RgbColor(static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
                    static_cast<std::uint8_t>(rgb.blue()));
}

} // namespace lorvane
