// What the loader decides from a file's bytes: the line-break style, UTF-8
// text (and that the way back gives the same bytes), and the code page,
// measured on a corpus of Russian texts written out in each page.
#include "codepage/TextForm.h"
#include "codepage/CodePageGuess.h"
#include "platform/CodePageTables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace lorvane {
namespace {

TEST(TextForm, BreakStyleIsThatOfMostBreaks) {
    const std::pair<std::string_view, TBreakStyle> cases[] = {
        {"", TBreakStyle::CRLF},
        {"no break", TBreakStyle::CRLF},
        {"a\nb\n", TBreakStyle::LF},
        {"a\rb", TBreakStyle::CR},
        {"a\r\nb\nc\r\n", TBreakStyle::CRLF},
        {"a\nb\r\nc\n", TBreakStyle::LF},
        {"a\r\nb\n", TBreakStyle::CRLF}, // a tie keeps the new-document style
        {"a\nb\r", TBreakStyle::LF},
        {"a\n\rb\n\r", TBreakStyle::LFCR},
        {"a\r\r\n", TBreakStyle::CRLF}, // a CR, then a CR LF: a tie again
        {"\n\n\r\n", TBreakStyle::LF},
    };
    for (const auto& [bytes, style] : cases)
        EXPECT_EQ(DetectBreakStyle(bytes), style) << bytes;
    EXPECT_EQ(LineOfOffset("a\r\nb\n\nc", 7), 4);
    EXPECT_EQ(LineOfOffset("a\r\nb", 2), 2); // inside the break: the line after it
}

TEST(TextForm, Utf8WellFormedOnlyAndACharacterThePageLacksNamedWithItsLine) {
    const std::pair<std::string_view, bool> cases[] = {
        {"plain ASCII", false},
        {"\xEF\xBB\xBF", true},              // the mark alone
        {"\xF0\x9F\x98\x80", true},          // four bytes
        {"\xEF\xBF\xBD", true},              // a real replacement character
        {"\xC0\x80", false},                 // overlong zero
        {"\xE0\x80\xAF", false},             // overlong slash
        {"\xED\xA0\x80", false},             // a surrogate
        {"\xF4\x90\x80\x80", false},         // past U+10FFFF
        {"\xE2\x82", false},                 // cut short
        {"ok \x80", false},                  // a lone continuation byte
        {"\xCF\xF0\xE8\xE2\xE5\xF2", false}, // Привет in Windows-1251
        {"\xAF\xE0\xA8\xA2\xA5\xE2", false}, // and in code page 866
    };
    for (const auto& [bytes, utf8] : cases)
        EXPECT_EQ(IsUtf8Text(bytes), utf8) << testing::PrintToString(bytes);

    // "а\n→б\r\n€": the arrow has no Windows-1251 byte, the euro sign has.
    const TUtf8Decoded text =
        DecodeUtf8Text("\xD0\xB0\n\xE2\x86\x92\xD0\xB1\r\n\xE2\x82\xAC", cp::CodePage::Win1251);
    EXPECT_FALSE(text.complete);
    EXPECT_EQ(text.firstMissing, U'\u2192');
    EXPECT_EQ(text.missingLine, 2);
    EXPECT_EQ(text.bytes, "\xE0\n?\xE1\r\n\x88");
    // A byte the page leaves undefined cannot pass as a character.
    EXPECT_EQ(EncodeUtf8Text("\x98", cp::CodePage::Win1251, false), "\xEF\xBF\xBD");
}

TEST(TextForm, Utf8RoundTripsEveryCharacterThePageHolds) {
    std::mt19937 random(15);
    for (cp::CodePage page : {cp::CodePage::Win1251, cp::CodePage::Cp866}) {
        for (int round = 0; round < 300; ++round) {
            std::string bytes;
            const int length = static_cast<int>(random() % 200);
            for (int i = 0; i < length; ++i) {
                const auto b = static_cast<unsigned char>(1 + random() % 255);
                if (cp::ToUnicode(page, b) != 0xFFFD) bytes.push_back(static_cast<char>(b));
            }
            const bool mark = random() % 2 == 0;
            const std::string utf8 = EncodeUtf8Text(bytes, page, mark);
            bool high = mark;
            for (char c : bytes)
                high = high || static_cast<unsigned char>(c) >= 0x80;
            ASSERT_EQ(IsUtf8Text(utf8), high) << round;
            const TUtf8Decoded back = DecodeUtf8Text(utf8, page);
            ASSERT_TRUE(back.complete);
            ASSERT_EQ(back.mark, mark);
            ASSERT_EQ(back.bytes, bytes) << round;
        }
    }
}

TEST(TextForm, ByteCountsEqualACountByHand) {
    std::mt19937 random(16);
    for (std::size_t length : {0, 1, 3, 4, 5, 7, 8, 9, 1000, 4099}) {
        std::string bytes(length, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 4 == 0 ? 0xFF : random() % 256);
        TByteCounts expected{};
        for (char c : bytes)
            ++expected[static_cast<unsigned char>(c)];
        EXPECT_EQ(CountBytes(bytes), expected) << length;
    }
}

// The corpus file's texts, separated by "====" lines, with CR LF breaks.
std::vector<std::u32string> Texts(const std::string& name) {
    std::ifstream in(std::string(LORVANE_CORPUS_DIR) + "/" + name, std::ios::binary);
    std::vector<std::u32string> texts(1);
    for (std::string line; std::getline(in, line);) {
        if (line == "====") {
            texts.emplace_back();
            continue;
        }
        for (std::size_t at = 0; at < line.size();)
            texts.back().push_back(cp::NextUtf8(line, at));
        texts.back() += U"\r\n";
    }
    return texts;
}

std::string InPage(const std::u32string& text, cp::CodePage page) {
    std::string out;
    for (char32_t c : text) {
        const int b = c < 0x80 ? static_cast<int>(c) : cp::FromUnicode(page, c);
        out.push_back(b >= 0 ? static_cast<char>(b) : '?');
    }
    return out;
}

int RussianLetters(const std::u32string& text) {
    int n = 0;
    for (char32_t c : text)
        n += (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
    return n;
}

TEST(CodePageGuess, CorpusInEveryPageIsToldApart) {
    const std::vector<std::u32string> texts = Texts("russian.txt");
    ASSERT_GT(texts.size(), 40u);
    // The whole texts, then random pieces of them: short ones show where
    // the guess gives up, long ones that it does not give up too early.
    std::vector<std::u32string> samples = texts;
    std::mt19937 random(20261207);
    for (int i = 0; i < 4000; ++i) {
        const std::u32string& text = texts[random() % texts.size()];
        const std::size_t length = 3 + random() % std::min<std::size_t>(text.size(), 400);
        const std::size_t start = random() % (text.size() - std::min(length, text.size()) + 1);
        samples.push_back(text.substr(start, length));
    }
    const std::pair<cp::CodePage, TConvType> pages[] = {{cp::CodePage::Win1251, PG_WIN},
                                                        {cp::CodePage::Cp866, PG_DOS886},
                                                        {cp::CodePage::Koi8R, PG_KOI}};
    for (const auto& [page, expected] : pages) {
        int longSamples = 0, longRight = 0;
        for (const std::u32string& sample : samples) {
            const std::string bytes = InPage(sample, page);
            const TConvType guess = GuessCodePage(bytes);
            // Windows-1251 is never taken for another page, however short;
            // nor one of the other two pages for the third.
            EXPECT_TRUE(guess == expected || (guess == PG_WIN && expected != PG_WIN))
                << int(expected) << ": " << bytes;
            if (RussianLetters(sample) >= 40) {
                ++longSamples;
                longRight += guess == expected;
            }
        }
        EXPECT_GE(longRight * 100, longSamples * 99) << int(expected);
    }
    for (const std::u32string& text : Texts("ascii.txt"))
        EXPECT_EQ(GuessCodePage(InPage(text, cp::CodePage::Win1251)), PG_WIN);
}

} // namespace
} // namespace lorvane
