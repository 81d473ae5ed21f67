#include "app/OutputDecoding.h"

#include "platform/CodePageTables.h"

#include <cstddef>

namespace lorvane {
namespace {

// Length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
std::size_t SequenceLength(std::string_view text, std::size_t at) noexcept {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t more = 0;
    if (lead < 0x80)
        return 1;
    else if (lead >= 0xC2 && lead <= 0xDF)
        more = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
        more = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
        more = 3;
    else
        return 0;
    if (text.size() - at <= more) return 0;
    for (std::size_t k = 1; k <= more; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
    return more + 1;
}

bool LooksLikeDos(std::string_view bytes) noexcept {
    std::size_t high = 0, upper = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        high += b >= 0x80;
        upper += b >= 0xF0;
    }
    // In Windows-1251 a third of all lower-case letters lie at F0..FF; in
    // 866 only Ё, ё and a few signs do.
    return upper * 10 < high;
}

} // namespace

bool IsWellFormedUtf8(std::string_view text) noexcept {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string DecodeToolLine(std::string_view bytes) {
    if (IsWellFormedUtf8(bytes)) return std::string(bytes);
    if (LooksLikeDos(bytes)) return cp::DecodeToUtf8(cp::CodePage::Cp866, bytes);
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            ++at;
        } else {
            text.append(bytes.substr(at, length));
            at += length;
        }
    }
    return text;
}

} // namespace lorvane
