#include "codepage/CodePageLetters.h"

#include "platform/CodePageTables.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace lorvane {
namespace {

constexpr TConvType kAll[] = {PG_WIN, PG_KOI, PG_DOS886, PG_MAC, PG_ISO};

cp::CodePage PageOf(TConvType t) {
    constexpr cp::CodePage pages[] = {cp::CodePage::Win1251, cp::CodePage::Koi8R,
                                      cp::CodePage::Cp866, cp::CodePage::MacCyrillic,
                                      cp::CodePage::Iso8859_5};
    return pages[t];
}

// The row search itself: the byte's position in row From picks the byte of
// row To; a byte not in row From stays.
unsigned char SearchRows(TConvType from, TConvType to, unsigned char b) {
    if (from == to) return b;
    const std::size_t p = CodePageLetters[from].find(static_cast<char>(b));
    if (p == std::string_view::npos) return b;
    return static_cast<unsigned char>(CodePageLetters[to][p]);
}

std::string AsciiAndLetters(TConvType page) {
    std::string s;
    for (int b = 0; b < 0x80; ++b)
        s += static_cast<char>(b);
    s += CodePageLetters[page];
    return s;
}

TEST(CodePageLetters, EveryRowSpellsTheSameLettersInItsOwnCodePage) {
    const std::u32string expected = U"йцукенгшщзхъфывапролджэячсмитьбюё"
                                    U"ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁ";
    ASSERT_EQ(expected.size(), 66u);
    for (const TConvType t : kAll) {
        ASSERT_EQ(CodePageLetters[t].size(), 66u) << int(t);
        for (std::size_t i = 0; i < 66; ++i)
            EXPECT_EQ(cp::ToUnicode(PageOf(t), static_cast<unsigned char>(CodePageLetters[t][i])),
                      expected[i])
                << "row " << int(t) << " position " << i + 1;
    }
}

TEST(RecodeString, ByteTableEqualsTheRowSearchForEveryByteAndPair) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (const TConvType from : kAll) {
        for (const TConvType to : kAll) {
            const std::string out = RecodeString(from, to, all);
            ASSERT_EQ(out.size(), 256u);
            for (int b = 0; b < 256; ++b)
                EXPECT_EQ(static_cast<unsigned char>(out[b]),
                          SearchRows(from, to, static_cast<unsigned char>(b)))
                    << int(from) << "->" << int(to) << " byte " << b;
        }
    }
}

TEST(RecodeString, AsciiAndLettersSurviveTheWayThereAndBackForEveryPair) {
    std::mt19937 rng(20261206);
    for (const TConvType from : kAll) {
        const std::string base = AsciiAndLetters(from);
        std::string text;
        for (int i = 0; i < 4000; ++i)
            text += base[rng() % base.size()];
        for (const TConvType to : kAll) {
            const std::string there = RecodeString(from, to, text);
            EXPECT_EQ(RecodeString(to, from, there), text) << int(from) << "<->" << int(to);
            // And on the far side every letter reads as the same character.
            for (std::size_t i = 0; i < text.size(); ++i)
                ASSERT_EQ(cp::ToUnicode(PageOf(to), static_cast<unsigned char>(there[i])),
                          cp::ToUnicode(PageOf(from), static_cast<unsigned char>(text[i])))
                    << int(from) << "->" << int(to) << " at " << i;
        }
    }
}

TEST(RecodeString, EmptyInputNulBytesAndAPageOutsideTheEnumeration) {
    EXPECT_EQ(RecodeString(PG_WIN, PG_KOI, ""), "");
    EXPECT_EQ(RecodeString(PG_WIN, PG_KOI, std::string("a\0b", 3)), std::string("a\0b", 3));
    const auto bogus = static_cast<TConvType>(7);
    EXPECT_EQ(RecodeString(bogus, PG_KOI, "\xE9\xFF"), "\xE9\xFF");
    EXPECT_EQ(RecodeString(PG_WIN, bogus, "\xE9\xFF"), "\xE9\xFF");
}

} // namespace
} // namespace lorvane
