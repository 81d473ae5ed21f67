#pragma once
// The colours of the token roles. The shipped schemes are made for the
// document window's default aqua text on black and for light backgrounds;
// the user's own colours, where set, replace them whatever the background.
#include "platform/Colors.h"
#include "syntax/Syntax.h"

#include <array>
#include <cstdint>

namespace lorvane {

struct TColourScheme {
    // clDefault: not chosen (the background's scheme decides).
    std::array<TColor, kTokenRoleCount> colours{};

    TColourScheme() { colours.fill(clDefault); }
    TColor operator[](TTokenRole role) const noexcept {
        return colours[static_cast<std::size_t>(role)];
    }
    TColor& operator[](TTokenRole role) noexcept { return colours[static_cast<std::size_t>(role)]; }
    friend bool operator==(const TColourScheme&, const TColourScheme&) = default;
};

// Perceived brightness from 0 to 255 decides: half way up is light.
bool IsLightBackground(std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept;
TColourScheme DarkBackgroundScheme();
TColourScheme LightBackgroundScheme();
// The background's scheme with the user's colours put over it.
TColourScheme SchemeFor(bool lightBackground, const TColourScheme& user);

} // namespace lorvane
