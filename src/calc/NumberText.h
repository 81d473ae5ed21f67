#pragma once
// The calculator's number notations without any toolkit: how a 32-bit value
// is written in each base and how the display's text is read back. The
// dialog and the main frame both go through these, so one reading rule holds
// everywhere.
#include "platform/Error.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane::calc {

enum class NumberBase { Hex, Oct, Bin, Dec };

// A display text that cannot be read in the current base. The message is the
// one users know from every integer conversion of the program:
// "'<text>' is not a valid integer value".
class ConversionError : public Error {
public:
    explicit ConversionError(const std::string& text);
    const std::string& Text() const noexcept { return text_; }

private:
    std::string text_;
};

// Characters of the display that take part in a reading: 8, 11, 32, 11.
int EntryLength(NumberBase base) noexcept;

// The maximum length the display is given for each base (the same numbers).
int MaxLength(NumberBase base) noexcept;

// The first EntryLength(base) characters of `text`. Characters, not bytes: a
// pasted non-ASCII text must not be cut inside a UTF-8 sequence.
std::string CopyStr(std::string_view text, NumberBase base);

// Reads the display. Throws ConversionError when the entry is not a number of
// the base. Hex, Oct and Bin give any 32-bit pattern; Dec checks the range.
std::int32_t StrToNum(std::string_view text, NumberBase base);

// The display form: Hex 8 upper-case digits, Oct 11 digits, Bin 32 digits,
// all zero-padded two's complement; Dec signed without padding.
std::string NumToStr(std::int32_t value, NumberBase base);

// Whether the digit button for `digit` ('0'..'9', 'A'..'F') is usable in `base`.
bool DigitEnabled(NumberBase base, char digit) noexcept;

} // namespace lorvane::calc
