#include "calc/NumberText.h"

#include <array>

namespace lorvane::calc {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads digits of radix 2^bitsPerDigit, keeping the low 32 bits: an 11-digit
// octal entry carries 33 bits and its top bit simply falls off.
std::int32_t ReadPowerOfTwo(const std::string& entry, int bitsPerDigit, char maxDigit,
                            const std::string& shownText) {
    std::uint32_t value = 0;
    for (char c : entry) {
        if (c < '0' || c > maxDigit) throw ConversionError(shownText);
        value = (value << bitsPerDigit) | static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t ReadHex(const std::string& entry) {
    // The text shown in the error is the literal as the conversion saw it,
    // with the hexadecimal marker in front.
    const std::string literal = "$" + entry;
    if (entry.empty()) throw ConversionError(literal);
    std::uint32_t value = 0;
    for (char c : entry) {
        const int digit = HexValue(c);
        if (digit < 0) throw ConversionError(literal);
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t ReadDec(const std::string& entry) {
    std::size_t i = 0;
    bool negative = false;
    if (i < entry.size() && (entry[i] == '+' || entry[i] == '-')) {
        negative = entry[i] == '-';
        ++i;
    }
    if (i == entry.size()) throw ConversionError(entry);
    // At most 11 characters reach here, so the magnitude fits in 64 bits.
    std::int64_t magnitude = 0;
    for (; i < entry.size(); ++i) {
        const char c = entry[i];
        if (c < '0' || c > '9') throw ConversionError(entry);
        magnitude = magnitude * 10 + (c - '0');
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) throw ConversionError(entry);
    return static_cast<std::int32_t>(value);
}

} // namespace

ConversionError::ConversionError(const std::string& text)
    : Error("'" + text + "' is not a valid integer value"), text_(text) {}

int EntryLength(NumberBase base) noexcept {
    switch (base) {
    case NumberBase::Hex:
        return 8;
    case NumberBase::Oct:
        return 11;
    case NumberBase::Bin:
        return 32;
    case NumberBase::Dec:
        return 11;
    }
    return 0;
}

int MaxLength(NumberBase base) noexcept {
    return EntryLength(base);
}

std::string CopyStr(std::string_view text, NumberBase base) {
    const int limit = EntryLength(base);
    int count = 0;
    std::size_t end = 0;
    for (; end < text.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (startsCharacter && count++ == limit) break;
    }
    return std::string(text.substr(0, end));
}

std::int32_t StrToNum(std::string_view text, NumberBase base) {
    const std::string entry = CopyStr(text, base);
    switch (base) {
    case NumberBase::Hex:
        return ReadHex(entry);
    case NumberBase::Dec:
        return ReadDec(entry);
    case NumberBase::Oct:
        return ReadPowerOfTwo(entry, 3, '7', entry);
    case NumberBase::Bin:
        return ReadPowerOfTwo(entry, 1, '1', entry);
    }
    return 0;
}

std::string NumToStr(std::int32_t value, NumberBase base) {
    const auto bits = static_cast<std::uint32_t>(value);
    switch (base) {
    case NumberBase::Dec:
        return std::to_string(value);
    case NumberBase::Hex: {
        std::string text(8, '0');
        for (int i = 0; i < 8; ++i)
            text[7 - i] = kHexDigits[(bits >> (4 * i)) & 0xF];
        return text;
    }
    case NumberBase::Bin: {
        std::string text(32, '0');
        for (int i = 0; i < 32; ++i)
            text[31 - i] = static_cast<char>('0' + ((bits >> i) & 1));
        return text;
    }
    case NumberBase::Oct: {
        // 32 bits with a zero bit in front make 11 groups of three.
        std::string text(11, '0');
        for (int i = 0; i < 11; ++i)
            text[10 - i] = static_cast<char>('0' + ((bits >> (3 * i)) & 7));
        return text;
    }
    }
    return "0";
}

bool DigitEnabled(NumberBase base, char digit) noexcept {
    const int value = HexValue(digit);
    if (value < 0 || (digit >= 'a' && digit <= 'f')) return false;
    switch (base) {
    case NumberBase::Hex:
        return true;
    case NumberBase::Dec:
        return value <= 9;
    case NumberBase::Oct:
        return value <= 7;
    case NumberBase::Bin:
        return value <= 1;
    }
    return false;
}

} // namespace lorvane::calc
