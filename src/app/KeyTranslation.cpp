#include "app/KeyTranslation.h"

#include "platform/CodePageTables.h"

#include <array>

namespace lorvane {
namespace {

// Box-drawing palette for the typed codes A8..FF. The zeros (A9..B7 and
// B9..BF) are no letters: those codes pass unchanged.
// clang-format off
constexpr std::array<unsigned char, 88> kPseudoGraphics = {
    0xF0, 0,    0,    0,    0,    0,    0,    0,    // A8 Ё
    0,    0,    0,    0,    0,    0,    0,    0,    // B0
    0xF1, 0,    0,    0,    0,    0,    0,    0,    // B8 ё
    0xBA, 0xBD, 0xB9, 0xD2, 0xF6, 0xDD, 0xF7, 0xF3, // А Б В Г Д Е Ж З
    0xDE, 0xC9, 0xCD, 0xB6, 0xDC, 0xD6, 0xD7, 0xDF, // И Й К Л М Н О П
    0xC7, 0xBC, 0xD3, 0xBB, 0xCC, 0xF4, 0xCB, 0xCA, // Р С Т У Ф Х Ц Ч
    0xB7, 0xF2, 0xF5, 0xCE, 0xD0, 0x20, 0x20, 0xC8, // Ш Щ Ъ Ы Ь Э Ю Я
    0xB3, 0xBE, 0xB4, 0xD1, 0xFC, 0xB0, 0xFD, 0xF9, // а б в г д е ж з
    0xB2, 0xDA, 0xC4, 0xB5, 0xDB, 0xD5, 0xD8, 0xB1, // и й к л м н о п
    0xC6, 0xD9, 0xD4, 0xBF, 0xC3, 0xFA, 0xC2, 0xC1, // р с т у ф х ц ч
    0xB8, 0xF8, 0xFB, 0xC5, 0xCF, 0xFE, 0x7F, 0xC0, // ш щ ъ ы ь э ю я
};
// clang-format on

constexpr bool IsRussianLetter(unsigned char key) noexcept {
    return key == 0xA8 || key == 0xB8 || key >= 0xC0;
}

} // namespace

unsigned char TerminalKey(unsigned char key, bool pseudoGraphics) noexcept {
    if (!IsRussianLetter(key)) return key;
    if (pseudoGraphics) return kPseudoGraphics[key - 0xA8];
    return cp::Win1251ToCp866Table()[key];
}

} // namespace lorvane
