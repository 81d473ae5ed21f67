#include "platform/CodePageTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lorvane::cp {
namespace {

constexpr CodePage kPages[] = {CodePage::Win1251, CodePage::Koi8R, CodePage::Cp866,
                               CodePage::MacCyrillic, CodePage::Iso8859_5};

// Each page is ASCII below 0x80, maps its defined bytes one to one (through
// UTF-8 too), and holds the whole Russian alphabet (with Ё and ё) above ASCII.
TEST(CodePageTables, EveryPageIsABijectionOnItsDefinedBytes) {
    for (const CodePage page : kPages) {
        std::set<char32_t> seen;
        std::string all;
        for (int b = 0; b < 256; ++b) {
            const char32_t u = ToUnicode(page, static_cast<unsigned char>(b));
            if (b < 0x80) EXPECT_EQ(u, char32_t(b));
            if (u == 0xFFFD) continue;
            all += char(b);
            EXPECT_TRUE(seen.insert(u).second) << "page " << int(page) << " byte " << b;
            EXPECT_EQ(FromUnicode(page, u), b) << "page " << int(page) << " byte " << b;
        }
        EXPECT_EQ(EncodeFromUtf8(page, DecodeToUtf8(page, all)), all);
        // Only Windows-1251 has a hole (0x98); the others define all 256 bytes.
        EXPECT_EQ(seen.size(), page == CodePage::Win1251 ? 255u : 256u);
        EXPECT_EQ(FromUnicode(page, 0xFFFD), -1);
        EXPECT_EQ(FromUnicode(page, U'€') >= 0, page == CodePage::Win1251);
        for (char32_t c = U'А'; c <= U'я'; ++c) {
            EXPECT_GE(FromUnicode(page, c), 0x80) << int(page);
        }
        EXPECT_GE(FromUnicode(page, U'Ё'), 0x80) << int(page);
        EXPECT_GE(FromUnicode(page, U'ё'), 0x80) << int(page);
    }
}

TEST(CodePageTables, BytesTheirStandardsFix) {
    // A few bytes from each standard that a shifted or swapped row would get wrong.
    EXPECT_EQ(ToUnicode(CodePage::Win1251, 0xC0), U'А');
    EXPECT_EQ(ToUnicode(CodePage::Win1251, 0xB8), U'ё');
    EXPECT_EQ(ToUnicode(CodePage::Win1251, 0xB9), U'№');
    EXPECT_EQ(ToUnicode(CodePage::Win1251, 0x88), U'€');
    EXPECT_EQ(ToUnicode(CodePage::Win1251, 0x98), 0xFFFDu);
    EXPECT_EQ(ToUnicode(CodePage::Koi8R, 0xC1), U'а');
    EXPECT_EQ(ToUnicode(CodePage::Koi8R, 0xFF), U'Ъ');
    EXPECT_EQ(ToUnicode(CodePage::Koi8R, 0xA3), U'ё');
    EXPECT_EQ(ToUnicode(CodePage::Koi8R, 0xB3), U'Ё');
    EXPECT_EQ(ToUnicode(CodePage::Koi8R, 0x9A), 0x00A0u);
    EXPECT_EQ(ToUnicode(CodePage::Cp866, 0xB3), U'│');
    EXPECT_EQ(ToUnicode(CodePage::Cp866, 0xE0), U'р');
    EXPECT_EQ(ToUnicode(CodePage::Cp866, 0xF0), U'Ё');
    EXPECT_EQ(ToUnicode(CodePage::Cp866, 0xFF), 0x00A0u);
    EXPECT_EQ(ToUnicode(CodePage::MacCyrillic, 0xDF), U'я');
    EXPECT_EQ(ToUnicode(CodePage::MacCyrillic, 0xDE), U'ё');
    EXPECT_EQ(ToUnicode(CodePage::MacCyrillic, 0xA2), U'¢');
    EXPECT_EQ(ToUnicode(CodePage::MacCyrillic, 0xFF), U'¤');
    EXPECT_EQ(ToUnicode(CodePage::Iso8859_5, 0xA1), U'Ё');
    EXPECT_EQ(ToUnicode(CodePage::Iso8859_5, 0xF0), U'№');
    EXPECT_EQ(ToUnicode(CodePage::Iso8859_5, 0x85), 0x0085u);
}

TEST(CodePageTables, Utf8EncodingMissingCharactersAndMalformedInput) {
    EXPECT_EQ(EncodeFromUtf8(CodePage::Koi8R, "a€b"), "a?b");
    EXPECT_EQ(EncodeFromUtf8(CodePage::Koi8R, "a€b", '\0'), "ab");
    EXPECT_EQ(EncodeFromUtf8(CodePage::Win1251, "a😀b", '*'), "a*b");
    // Stray continuation, overlong '/', a surrogate and a truncated tail:
    // each bad byte is one missing character and nothing is read past the end.
    EXPECT_EQ(EncodeFromUtf8(CodePage::Win1251, "\x80x\xC0\xAFy\xED\xA0\x80z\xD0"), "?x??y???z?");

    std::string s;
    AppendUtf8(s, U'я');
    AppendUtf8(s, U'€');
    AppendUtf8(s, 0x1F600);
    AppendUtf8(s, 0xD800);
    AppendUtf8(s, 0x10FFFF);
    EXPECT_EQ(s, "я€😀\xEF\xBF\xBD\xF4\x8F\xBF\xBF");
    std::size_t pos = 0;
    EXPECT_EQ(NextUtf8(s, pos), U'я');
    EXPECT_EQ(NextUtf8(s, pos), U'€');
    EXPECT_EQ(NextUtf8(s, pos), char32_t(0x1F600));
    EXPECT_EQ(NextUtf8(s, pos), char32_t(0xFFFD));
    EXPECT_EQ(NextUtf8(s, pos), char32_t(0x10FFFF));
    EXPECT_EQ(pos, s.size());
}

TEST(CodePageTables, Win1251To866KeepsWhat866HasAndFitsOrMarksTheRest) {
    const unsigned char* t = Win1251ToCp866Table();
    int questionMarks = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t u = ToUnicode(CodePage::Win1251, static_cast<unsigned char>(b));
        const int exact = FromUnicode(CodePage::Cp866, u);
        if (exact >= 0)
            EXPECT_EQ(t[b], exact) << "byte " << b;
        else if (t[b] == '?')
            ++questionMarks;
    }
    // Near equivalents.
    EXPECT_EQ(t[0xAB], '<');
    EXPECT_EQ(t[0x96], '-');
    EXPECT_EQ(t[0x93], '"');
    EXPECT_EQ(t[0xB2], 'I');
    EXPECT_EQ(t[0xA5], 0x83); // Ґ -> Г
    EXPECT_EQ(t[0x95], 0xF9); // bullet -> bullet operator
    // No equivalent.
    EXPECT_EQ(t[0x88], '?'); // euro
    EXPECT_EQ(t[0x80], '?'); // Ђ
    EXPECT_EQ(t[0x98], '?'); // undefined
    // Ђ ђ Љ љ Њ њ Ћ ћ Џ џ, the undefined byte and 13 symbols.
    EXPECT_EQ(questionMarks, 24);
}

TEST(CodePageTables, Win1251CasingCoversEveryLetterPair) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const unsigned char up = UpperCase1251(byte);
        const unsigned char low = LowerCase1251(byte);
        EXPECT_EQ(UpperCase1251Table()[b], up);
        EXPECT_EQ(LowerCase1251Table()[b], low);
        // Casing is idempotent and each pair maps both ways.
        EXPECT_EQ(UpperCase1251(up), up);
        EXPECT_EQ(LowerCase1251(low), low);
        if (up != byte) {
            EXPECT_EQ(LowerCase1251(up), byte) << b;
        }
    }
    EXPECT_EQ(UpperCase1251('q'), 'Q');
    EXPECT_EQ(UpperCase1251(0xE0), 0xC0); // а
    EXPECT_EQ(UpperCase1251(0xFF), 0xDF); // я
    EXPECT_EQ(UpperCase1251(0xB8), 0xA8); // ё
    EXPECT_EQ(UpperCase1251(0xB3), 0xB2); // і
    EXPECT_EQ(UpperCase1251(0xB4), 0xA5); // ґ
    EXPECT_EQ(UpperCase1251(0x9F), 0x8F); // џ
    EXPECT_EQ(UpperCase1251(0xB5), 0xB5); // µ has no upper case here
    int pairs = 0;
    for (int b = 0; b < 256; ++b)
        pairs += UpperCase1251(static_cast<unsigned char>(b)) != b;
    // 26 Latin, 33 Russian (with Ё) and 14 other Cyrillic pairs (Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ І Є Ї Ѕ).
    EXPECT_EQ(pairs, 26 + 33 + 14);

    EXPECT_TRUE(EqualIgnoringCase1251("\xE0\xB8z\xB5", "\xC0\xA8Z\xB5")); // аёzµ АЁZµ
    // Code page 866 too, for the text shown in its own font.
    const std::string lower866 =
        EncodeFromUtf8(CodePage::Cp866, "zабвгдеёжзийклмнопрстуфхцчшщъыьэюя");
    const std::string upper866 =
        EncodeFromUtf8(CodePage::Cp866, "ZАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
    EXPECT_TRUE(EqualIgnoringCase866(lower866, upper866));
    EXPECT_FALSE(EqualIgnoringCase866("\xA0", "\x81")); // а Б
    EXPECT_FALSE(EqualIgnoringCase1251("\xE0", "\xE1"));
    EXPECT_FALSE(EqualIgnoringCase1251("ab", "abc"));
}

} // namespace
} // namespace lorvane::cp
