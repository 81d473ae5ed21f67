#include "syntax/ColourScheme.h"

namespace lorvane {

bool IsLightBackground(std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
    return 299 * red + 587 * green + 114 * blue >= 128 * 1000;
}

TColourScheme DarkBackgroundScheme() {
    // Beside aqua text: white keywords, grey comments that step back,
    // warm strings, and green and magenta for the rarer roles.
    TColourScheme s;
    s[TTokenRole::Comment] = RgbColor(0xA8, 0xA8, 0xA8);
    s[TTokenRole::String] = RgbColor(0xFF, 0xE0, 0x60);
    s[TTokenRole::Keyword] = RgbColor(0xFF, 0xFF, 0xFF);
    s[TTokenRole::Type] = RgbColor(0x80, 0xFF, 0x40);
    s[TTokenRole::Register] = RgbColor(0x80, 0xFF, 0x40);
    s[TTokenRole::Directive] = RgbColor(0xFF, 0x98, 0xFF);
    s[TTokenRole::Preprocessor] = RgbColor(0xFF, 0xA8, 0x60);
    return s;
}

TColourScheme LightBackgroundScheme() {
    // Dark enough to read on white or light grey.
    TColourScheme s;
    s[TTokenRole::Comment] = RgbColor(0x00, 0x7A, 0x00);
    s[TTokenRole::String] = RgbColor(0xA0, 0x20, 0x20);
    s[TTokenRole::Keyword] = RgbColor(0x00, 0x00, 0xC0);
    s[TTokenRole::Type] = RgbColor(0x00, 0x68, 0x78);
    s[TTokenRole::Register] = RgbColor(0x00, 0x68, 0x78);
    s[TTokenRole::Directive] = RgbColor(0x80, 0x00, 0x80);
    s[TTokenRole::Preprocessor] = RgbColor(0x80, 0x48, 0x00);
    return s;
}

TColourScheme SchemeFor(bool lightBackground, const TColourScheme& user) {
    TColourScheme s = lightBackground ? LightBackgroundScheme() : DarkBackgroundScheme();
    for (std::size_t i = 0; i < kTokenRoleCount; ++i)
        if (user.colours[i] != clDefault) s.colours[i] = user.colours[i];
    return s;
}

} // namespace lorvane
