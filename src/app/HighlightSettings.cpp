#include "app/HighlightSettings.h"

#include "platform/ProfileFile.h"

#include <array>

namespace lorvane {
namespace {

constexpr std::array<std::string_view, kTokenRoleCount> kColourKeys = {
    "Комментарии", "Строки", "Ключевые слова", "Типы", "Регистры", "Директивы", "Препроцессор"};

} // namespace

std::string_view HighlightColourKey(TTokenRole role) noexcept {
    return kColourKeys[static_cast<std::size_t>(role)];
}

HighlightSettings ReadHighlightSettings(std::string_view settingsFileName) {
    const ProfileFile file(settingsFileName);
    HighlightSettings settings;
    settings.on = file.ReadBool(kHighlightSection, kHighlightOnKey, true);
    for (std::size_t i = 0; i < kTokenRoleCount; ++i)
        settings.colours.colours[i] =
            file.ReadInteger(kHighlightSection, kColourKeys[i], clDefault);
    return settings;
}

void WriteHighlightOn(std::string_view settingsFileName, bool on) {
    ProfileFile(settingsFileName).WriteBool(kHighlightSection, kHighlightOnKey, on);
}

} // namespace lorvane
