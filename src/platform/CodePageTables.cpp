#include "platform/CodePageTables.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lorvane::cp {
namespace {

// Upper halves (bytes 0x80..0xFF) of the five code pages as their published
// definitions give them; the lower halves are ASCII in all five. 0xFFFD marks
// the one byte Windows-1251 leaves undefined (0x98). Mac Cyrillic is code
// page 10007 as first published (0xA2 cent, 0xB6 partial differential, 0xFF
// currency sign), not the later revision with the euro sign.
using UpperHalf = std::array<char16_t, 128>;

// clang-format off
constexpr std::array<UpperHalf, kCodePageCount> kUpperHalves = {{
    // Windows-1251
    {{
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
        0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
        0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
        0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
        0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
        0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
        0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
        0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
        0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
        0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
        0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
    }},
    // KOI8-R
    {{
        0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524, // 80
        0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590, // 88
        0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248, // 90
        0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7, // 98
        0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556, // A0
        0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E, // A8
        0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565, // B0
        0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9, // B8
        0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433, // C0
        0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, // C8
        0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432, // D0
        0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A, // D8
        0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413, // E0
        0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, // E8
        0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412, // F0
        0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A, // F8
    }},
    // Code page 866
    {{
        0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 80
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 88
        0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 90
        0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 98
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // A0
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // A8
        0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // B0
        0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, // B8
        0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // C0
        0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, // C8
        0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // D0
        0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, // D8
        0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // E0
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // E8
        0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E, // F0
        0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0, // F8
    }},
    // Mac Cyrillic (10007)
    {{
        0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 80
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 88
        0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 90
        0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 98
        0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x0406, // A0
        0x00AE, 0x00A9, 0x2122, 0x0402, 0x0452, 0x2260, 0x0403, 0x0453, // A8
        0x221E, 0x00B1, 0x2264, 0x2265, 0x0456, 0x00B5, 0x2202, 0x0408, // B0
        0x0404, 0x0454, 0x0407, 0x0457, 0x0409, 0x0459, 0x040A, 0x045A, // B8
        0x0458, 0x0405, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, // C0
        0x00BB, 0x2026, 0x00A0, 0x040B, 0x045B, 0x040C, 0x045C, 0x0455, // C8
        0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x201E, // D0
        0x040E, 0x045E, 0x040F, 0x045F, 0x2116, 0x0401, 0x0451, 0x044F, // D8
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
        0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x00A4, // F8
    }},
    // ISO 8859-5
    {{
        0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x0087, // 80
        0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D, 0x008E, 0x008F, // 88
        0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097, // 90
        0x0098, 0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F, // 98
        0x00A0, 0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407, // A0
        0x0408, 0x0409, 0x040A, 0x040B, 0x040C, 0x00AD, 0x040E, 0x040F, // A8
        0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // B0
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // B8
        0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // C0
        0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // C8
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // D0
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // D8
        0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // E0
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // E8
        0x2116, 0x0451, 0x0452, 0x0453, 0x0454, 0x0455, 0x0456, 0x0457, // F0
        0x0458, 0x0459, 0x045A, 0x045B, 0x045C, 0x00A7, 0x045E, 0x045F, // F8
    }},
}};
// clang-format on

constexpr char32_t kReplacement = 0xFFFD;

const UpperHalf& HalfOf(CodePage page) noexcept {
    return kUpperHalves[static_cast<std::size_t>(page)];
}

// Unicode -> byte for the upper half of one page, sorted by code point for a
// binary search; built once from the tables above so both directions always
// agree.
struct ReverseEntry {
    char16_t code;
    unsigned char byte;
};
using ReverseTable = std::array<ReverseEntry, 128>;

struct ReverseTables {
    std::array<ReverseTable, kCodePageCount> pages{};
    std::array<int, kCodePageCount> counts{};

    ReverseTables() {
        for (int p = 0; p < kCodePageCount; ++p) {
            int n = 0;
            for (int i = 0; i < 128; ++i) {
                const char16_t code = kUpperHalves[static_cast<std::size_t>(p)][i];
                if (code == kReplacement) continue;
                pages[p][n++] = ReverseEntry{code, static_cast<unsigned char>(0x80 + i)};
            }
            std::sort(pages[p].begin(), pages[p].begin() + n,
                      [](const ReverseEntry& a, const ReverseEntry& b) { return a.code < b.code; });
            counts[p] = n;
        }
    }
};

const ReverseTables& Reverse() {
    static const ReverseTables tables;
    return tables;
}

// Characters of Windows-1251 that code page 866 lacks but has a near
// equivalent for: typographic quotes and dashes become their ASCII forms,
// the bullet the 866 bullet operator, and letters of other Cyrillic alphabets
// the Russian or Latin letter they are drawn like (accents and the upturn
// dropped). Everything else 866 lacks (Ђ ђ Љ љ Њ њ Ћ ћ Џ џ, the euro, per
// mille, daggers, trade mark, copyright, registered, plus-minus, section,
// pilcrow, micro, not sign, ellipsis, the undefined 0x98) becomes '?', so a
// DOS file never gains a character that reads as something else.
constexpr std::pair<char32_t, char32_t> kCp866BestFit[] = {
    {0x201A, U','},   {0x201E, U'"'},   {0x2018, U'\''},  {0x2019, U'\''},  {0x201C, U'"'},
    {0x201D, U'"'},   {0x2039, U'<'},   {0x203A, U'>'},   {0x00AB, U'<'},   {0x00BB, U'>'},
    {0x2013, U'-'},   {0x2014, U'-'},   {0x00AD, U'-'},   {0x00A6, U'|'},   {0x2022, 0x2219},
    {0x0403, 0x0413}, {0x0453, 0x0433}, {0x040C, 0x041A}, {0x045C, 0x043A}, {0x0490, 0x0413},
    {0x0491, 0x0433}, {0x0406, U'I'},   {0x0456, U'i'},   {0x0408, U'J'},   {0x0458, U'j'},
    {0x0405, U'S'},   {0x0455, U's'},
};

struct ByteTables {
    std::array<unsigned char, 256> toCp866{};
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};

    ByteTables() {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            const char32_t u = ToUnicode(CodePage::Win1251, byte);

            int oem = FromUnicode(CodePage::Cp866, u);
            if (oem < 0) {
                for (const auto& [from, to] : kCp866BestFit)
                    if (from == u) oem = FromUnicode(CodePage::Cp866, to);
            }
            toCp866[b] = static_cast<unsigned char>(oem < 0 ? '?' : oem);

            upper[b] = lower[b] = byte;
            const int up = FromUnicode(CodePage::Win1251, UpperOf(u));
            const int low = FromUnicode(CodePage::Win1251, LowerOf(u));
            if (up >= 0) upper[b] = static_cast<unsigned char>(up);
            if (low >= 0) lower[b] = static_cast<unsigned char>(low);
        }
    }

    // Case pairs of the scripts Windows-1251 holds: Latin, Russian, the
    // other Cyrillic letters (U+0400 block, 0x50 apart) and Ґ/ґ.
    static char32_t UpperOf(char32_t u) noexcept {
        if (u >= U'a' && u <= U'z') return u - 0x20;
        if (u >= 0x0430 && u <= 0x044F) return u - 0x20;
        if (u >= 0x0450 && u <= 0x045F) return u - 0x50;
        if (u == 0x0491) return 0x0490;
        return u;
    }
    static char32_t LowerOf(char32_t u) noexcept {
        if (u >= U'A' && u <= U'Z') return u + 0x20;
        if (u >= 0x0410 && u <= 0x042F) return u + 0x20;
        if (u >= 0x0400 && u <= 0x040F) return u + 0x50;
        if (u == 0x0490) return 0x0491;
        return u;
    }
};

const ByteTables& Bytes() {
    static const ByteTables tables;
    return tables;
}

} // namespace

char32_t ToUnicode(CodePage page, unsigned char b) noexcept {
    if (b < 0x80) return b;
    return HalfOf(page)[b - 0x80];
}

int FromUnicode(CodePage page, char32_t c) noexcept {
    if (c < 0x80) return static_cast<int>(c);
    if (c > 0xFFFF || c == kReplacement) return -1;
    const auto p = static_cast<std::size_t>(page);
    const ReverseTables& rev = Reverse();
    const auto first = rev.pages[p].begin();
    const auto last = first + rev.counts[p];
    const auto it = std::lower_bound(first, last, c, [](const ReverseEntry& e, char32_t v) {
        return static_cast<char32_t>(e.code) < v;
    });
    if (it == last || it->code != c) return -1;
    return it->byte;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t NextUtf8(std::string_view utf8, std::size_t& pos) noexcept {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (utf8.size() - pos <= static_cast<std::size_t>(extra)) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(utf8[pos + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return c;
}

std::string DecodeToUtf8(CodePage page, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes)
        AppendUtf8(out, ToUnicode(page, static_cast<unsigned char>(ch)));
    return out;
}

std::string EncodeFromUtf8(CodePage page, std::string_view utf8, char missing) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const int b = FromUnicode(page, NextUtf8(utf8, pos));
        if (b >= 0)
            out += static_cast<char>(b);
        else if (missing != 0)
            out += missing;
    }
    return out;
}

const unsigned char* Win1251ToCp866Table() noexcept {
    return Bytes().toCp866.data();
}

unsigned char UpperCase1251(unsigned char b) noexcept {
    return Bytes().upper[b];
}
unsigned char LowerCase1251(unsigned char b) noexcept {
    return Bytes().lower[b];
}
unsigned char UpperCase866(unsigned char b) noexcept {
    if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 0x20);
    if (b >= 0xA0 && b <= 0xAF) return static_cast<unsigned char>(b - 0x20); // а..п
    if (b >= 0xE0 && b <= 0xEF) return static_cast<unsigned char>(b - 0x50); // р..я
    if (b == 0xF1) return 0xF0;                                              // ё
    return b;
}
bool EqualIgnoringCase866(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperCase866(static_cast<unsigned char>(a[i])) !=
            UpperCase866(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
bool EqualIgnoringCase1251(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    const auto& upper = Bytes().upper;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper[static_cast<unsigned char>(a[i])] != upper[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}
const unsigned char* UpperCase1251Table() noexcept {
    return Bytes().upper.data();
}
const unsigned char* LowerCase1251Table() noexcept {
    return Bytes().lower.data();
}

} // namespace lorvane::cp
