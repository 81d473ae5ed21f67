// Recoding between the Cyrillic pages: the letter rows, the byte tables built
// from them, and the streams that convert as they are read.
#include "codepage/CodePageLetters.h"
#include "codepage/OEMStrm.h"

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

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
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
    const std::string all = AllBytes();
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

// What the document window does: the whole stream copied into another, in
// the stream copy's own chunks.
std::string Drain(TStream& stream) {
    TStringStream out;
    out.CopyFrom(stream, 0);
    return out.DataString();
}

// Only А..я change, each to the same letter in KOI8-R; ASCII, Ё, ё and the
// rest of 0x80..0xBF pass as they are.
TEST(TWKOI8Stream, ChangesExactlyTheRussianLettersToTheSameKoi8Letters) {
    TWKOI8Stream stream(AllBytes());
    const std::string out = Drain(stream);
    ASSERT_EQ(out.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        const auto koi = static_cast<unsigned char>(out[b]);
        if (b < 0xC0) {
            EXPECT_EQ(koi, b);
        } else {
            EXPECT_EQ(cp::ToUnicode(cp::CodePage::Koi8R, koi),
                      cp::ToUnicode(cp::CodePage::Win1251, static_cast<unsigned char>(b)))
                << b;
        }
    }
}

TEST(TWDOSStream, ConvertsEveryByteThroughThe866Table) {
    TWDOSStream stream(AllBytes());
    const std::string out = Drain(stream);
    const unsigned char* table = cp::Win1251ToCp866Table();
    ASSERT_EQ(out.size(), 256u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(out[b]), table[b]) << b;
}

TEST(ConversionStreams, EmptyAsciiWritesAndTheBufferBeyondTheData) {
    TWDOSStream emptyDos{std::string()};
    TWKOI8Stream emptyKoi{std::string()};
    char buf[4] = {'\xC0', '\xC0', '\xC0', '\xC0'};
    EXPECT_EQ(emptyDos.Read(buf, 4), 0);
    EXPECT_EQ(emptyKoi.Read(buf, 4), 0);
    EXPECT_EQ(std::string(buf, 4), "\xC0\xC0\xC0\xC0");

    const std::string ascii = "Hello, world\t0123456789\r\n~";
    TWDOSStream dos(ascii);
    TWKOI8Stream koi(ascii);
    EXPECT_EQ(Drain(dos), ascii);
    EXPECT_EQ(Drain(koi), ascii);

    // A short read converts what it delivered, nothing past it.
    TWKOI8Stream shortRead("\xE0");
    EXPECT_EQ(shortRead.Read(buf, 4), 1);
    EXPECT_EQ(std::string(buf, 4), "\xC1\xC0\xC0\xC0");

    // Writes are stored as given; conversion happens on reading only.
    TWKOI8Stream written;
    written.Write("\xE0\xE1", 2);
    EXPECT_EQ(written.DataString(), "\xE0\xE1");
    written.SetPosition(0);
    EXPECT_EQ(Drain(written), "\xC1\xC2");
}

} // namespace
} // namespace lorvane
