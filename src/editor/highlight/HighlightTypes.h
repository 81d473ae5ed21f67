#pragma once
// Small vocabulary shared by the keyword list, the start/stop list, their
// matchers and the passes built on them: the option bits of an entry, the
// attribute head that keywords and start/stop entries both carry, the
// separator set that decides whole-word matches, and the limits that the
// 60-byte highlighting state imposes.
#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace lorvane {

// Option bits of a keyword or start/stop entry.
inline constexpr std::uint8_t kMatchCase = 0x01;
inline constexpr std::uint8_t kWholeWords = 0x02;

// The deepest nesting a highlighting state can record (16 stack slots).
inline constexpr int kMaxNestingLevel = 15;
// A key's length (plus one for a required separator) is kept in one byte of
// the highlighting state, so longer keys could not be re-found after an edit.
inline constexpr int kMaxHighlightKeyLength = 254;
// Stack slots are 16-bit: keywords are stored as their index, own start/stop
// entries as index + 32768, so neither list may number more than this.
inline constexpr int kMaxHighlightEntries = 32768;
// Masked characters of a work copy; no keyword may contain this code.
inline constexpr char kMaskCode = 5;

// The fields a keyword and a start/stop entry have in common; they are
// copied as one block into the highlighting state they produce.
struct AttributeHead {
    std::uint8_t options = 0; // kMatchCase, kWholeWords
    std::uint8_t style = 0;   // font style bits of the highlight
    std::int32_t contextNumber = 0;
    std::int16_t cursor = 0;
    std::uint32_t firstColour = 0;
    std::uint32_t secondColour = 0;

    friend bool operator==(const AttributeHead&, const AttributeHead&) = default;
};

// A set of byte values (the control's Separators).
class TCharSet {
public:
    constexpr TCharSet() = default;
    constexpr TCharSet(std::initializer_list<unsigned char> chars) {
        for (unsigned char c : chars)
            Include(c);
    }
    // The control keeps its separators as a bitset.
    explicit TCharSet(const std::bitset<256>& bits) noexcept {
        for (std::size_t c = 0; c < 256; ++c)
            bits_[c] = bits[c];
    }
    static constexpr TCharSet Of(std::string_view chars) {
        TCharSet set;
        for (char c : chars)
            set.Include(static_cast<unsigned char>(c));
        return set;
    }

    constexpr bool Contains(unsigned char c) const noexcept { return bits_[c]; }
    constexpr bool Contains(char c) const noexcept { return bits_[static_cast<unsigned char>(c)]; }
    constexpr void Include(unsigned char c) noexcept { bits_[c] = true; }
    constexpr void Exclude(unsigned char c) noexcept { bits_[c] = false; }

    friend bool operator==(const TCharSet&, const TCharSet&) = default;

private:
    std::array<bool, 256> bits_{};
};

// Tab, blank and $ % & , . / : ; < = >: the separators a new control starts with.
inline constexpr TCharSet DefaultSeparators() {
    return TCharSet::Of("\t $%&,./:;<=>");
}

} // namespace lorvane
