#pragma once
// The records of the text store. LineInfo and AttrInfo are also the records of
// the binary layout stream, so their byte layout is fixed; ParagraphInfo holds
// pointers and is laid out for size.
#include <cstddef>
#include <cstdint>

namespace lorvane {

struct LineInfo {
    std::int32_t start = 0; // first character offset inside the paragraph
    std::int32_t end = 0;   // exclusive; the next line starts here
    std::int32_t width = 0; // pixels without the blanks that end the line
    std::int32_t widthWithBlanks = 0;
    std::int32_t reserved = 0;     // belongs to the control; layout only copies it
    std::int32_t blanks = 0;       // blanks between the justifiable start and the last word
    std::int32_t justifyStart = 0; // offset of the last tab, or the line start
    std::uint8_t style = 0;        // static style in force at the line start
    std::uint8_t pad[3] = {0, 0, 0};
    std::int32_t attrIndex = 0; // attribute entries that lie before the line start
};
static_assert(sizeof(LineInfo) == 36, "LineInfo is a stream record of 36 bytes");
static_assert(offsetof(LineInfo, style) == 28 && offsetof(LineInfo, attrIndex) == 32);

// A highlighting state: an attribute entry (first word = offset in the
// paragraph) or a shared start context (first word = reference count).
struct AttrInfo {
    std::uint32_t offsetOrRefs = 0;
    std::uint8_t flags = 0; // bit 7: highlight; bits 6+7: start/stop range; low bits: style
    std::int8_t level = 0;  // start/stop nesting level
    std::uint8_t pad1[2] = {0, 0};
    std::uint32_t color1 = 0;
    std::uint32_t color2 = 0;
    std::int32_t context = 0;
    std::uint16_t cursor = 0;
    std::uint16_t stack[16] = {};
    std::uint8_t pad2[2] = {0, 0};
    std::uint8_t openLength = 0;
    std::uint8_t closeLength = 0;
    std::uint8_t pad3[2] = {0, 0};
};
static_assert(sizeof(AttrInfo) == 60, "AttrInfo is a stream record of 60 bytes");
static_assert(offsetof(AttrInfo, cursor) == 20 && offsetof(AttrInfo, stack) == 22 &&
              offsetof(AttrInfo, openLength) == 56);

// Stored start and first-line values are read through the store, which may
// hold a pending shift for later paragraphs (see TTextStore).
struct ParagraphInfo {
    // Pointers first and the flags as bits of the entry count, so that the
    // record packs into 88 bytes without padding: a text of short lines
    // holds one record per line, and over a 100 MB file each byte here is
    // 1.5 MB of memory.
    char* text = nullptr;             // length bytes + zero byte, nil when empty
    AttrInfo* startContext = nullptr; // shared, reference-counted
    LineInfo* furtherLines = nullptr; // lines 1 .. n-1
    AttrInfo* entries = nullptr;      // sorted by offset; capacity: EntryCapacity()
    std::int32_t length = 0;
    std::int32_t firstLine = 0; // stored value; read with TTextStore::FirstLine
    std::int32_t start = 0;     // stored value; read with TTextStore::ParagraphStart
    std::int32_t lineCount = 1;
    std::int32_t entryCount : 29 = 0; // at most kMaxEntries
    std::uint32_t laidOut : 1 = 0;
    std::uint32_t startStopScanned : 1 = 0;
    std::uint32_t keywordsApplied : 1 = 0;
    LineInfo line0;

    static constexpr std::int32_t kMaxEntries = (1 << 28) - 1;
};
static_assert(sizeof(ParagraphInfo) == 88, "a paragraph record packs into 88 bytes");

// Style bits toggled by the static format codes.
constexpr std::uint8_t StyleBitOfCode(unsigned char c) noexcept {
    switch (c) {
    case 2:
        return 0x01;
    case 1:
        return 0x02;
    case 21:
        return 0x04;
    case 3:
        return 0x10;
    case 4:
        return 0x20;
    default:
        return 0;
    }
}
constexpr bool IsFormatCode(unsigned char c) noexcept {
    return StyleBitOfCode(c) != 0;
}
// Whether `n` bytes hold a format code. Most text holds none; this look is
// done many bytes at a time by the compiler, so whole-text passes can skip
// the byte-by-byte toggling.
inline bool ContainsFormatCode(const char* text, std::size_t n) noexcept {
    unsigned any = 0;
    const auto* b = reinterpret_cast<const unsigned char*>(text);
    for (const unsigned char* e = b + n; b < e; ++b)
        any |= static_cast<unsigned>(*b - 1u < 4u) | static_cast<unsigned>(*b == 21u);
    return any != 0;
}

} // namespace lorvane
