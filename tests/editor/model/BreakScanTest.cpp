#include "editor/model/BreakScan.h"
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Stream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace lorvane {
namespace {

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

// One pass, byte by byte: the paragraph ends with the static style in force
// after each, and the break byte left waiting for its partner at the end.
struct Oracle {
    std::vector<BreakMark> marks; // style: absolute, not per part
    char pending = 0;
};

Oracle Sequential(const std::string& s, bool codes) {
    Oracle o;
    std::uint8_t style = 0;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (!IsBreak(c)) {
            if (codes) style ^= StyleBitOfCode(static_cast<unsigned char>(c));
            ++i;
            continue;
        }
        std::size_t next = i + 1;
        if (next < s.size() && IsBreak(s[next]) && s[next] != c) ++next;
        o.marks.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(next), style});
        o.pending = next == s.size() && next == i + 1 ? c : 0;
        i = next;
    }
    return o;
}

void ExpectSameAsSequential(const std::string& s, bool codes, int parts, std::size_t minPart) {
    SCOPED_TRACE(testing::Message() << "parts " << parts << " min " << minPart << " text \""
                                    << s.substr(0, 40) << "\"");
    const Oracle want = Sequential(s, codes);
    const std::vector<BreakPart> got =
        ScanBreaksParallel(s.data(), 0, s.size(), codes, parts, minPart);
    ASSERT_FALSE(got.empty());
    std::vector<BreakMark> joined;
    std::uint8_t style = 0;
    for (const BreakPart& p : got) {
        for (BreakMark m : p.marks) {
            m.style ^= style;
            joined.push_back(m);
        }
        style ^= p.style;
    }
    ASSERT_EQ(joined.size(), want.marks.size());
    for (std::size_t k = 0; k < joined.size(); ++k) {
        EXPECT_EQ(joined[k].end, want.marks[k].end) << k;
        EXPECT_EQ(joined[k].next, want.marks[k].next) << k;
        EXPECT_EQ(joined[k].style, want.marks[k].style) << k;
    }
    EXPECT_EQ(got.back().pending, want.pending);
}

TEST(BreakScanTest, PartsJoinToTheSequentialScan) {
    const std::string line(100, 'x');
    const std::string table[] = {
        "",
        "no break at all, longer than one block of sixteen",
        std::string(15, 'a') + "\r\n" + std::string(30, 'b'), // a pair across 16-byte blocks
        "a\r\nb\n\rc\r\rd\n\ne\r\n\r\nf\n\r\n\r",             // runs of every kind
        line + "\n" + line + line + "\r",                     // cuts inside long lines
        "\x02"
        "bold\r\n\x01\x02x\x15\ty\r\n\x03\x04z\x02",
        "\r\n",
        "\r",
    };
    for (const std::string& s : table)
        for (int parts : {1, 2, 3, 7})
            for (std::size_t minPart : {std::size_t{1}, std::size_t{5}})
                ExpectSameAsSequential(s, true, parts, minPart);
    ExpectSameAsSequential(table[5], false, 3, 1);

    std::mt19937 rng(2117);
    const char alphabet[] = "ab \t\r\n\x01\x02\x15";
    for (int round = 0; round < 300; ++round) {
        std::string s(rng() % 400, ' ');
        for (char& c : s)
            c = alphabet[rng() % (sizeof alphabet - 1)];
        ExpectSameAsSequential(s, round % 2 == 0, 1 + static_cast<int>(rng() % 6), 1 + rng() % 50);
    }
}

// A text longer than one reading block, with a CR LF split across the
// blocks' seam and a style code before it: the paragraphs and their start
// styles are those of the one-pass scan, and the text saves back as read.
TEST(BreakScanTest, LoadAcrossBlocksKeepsEveryByte) {
    const auto block = static_cast<std::size_t>(kLoadBlockBytes);
    std::mt19937 rng(77);
    std::string s;
    s.reserve(block + 4096);
    while (s.size() < block - 300) {
        s.append(std::string(rng() % 120, 'w'));
        s.append(rng() % 5 == 0 ? "\n" : "\r\n");
    }
    s += "\x02";
    s.append(block - 1 - s.size(), 'v');
    s += "\r\nafter the seam\n\rlast"; // the CR ends the first block

    RIzuvAzazModel m;
    TStringStream in(s);
    m.LoadFromStream(in);
    const Oracle want = Sequential(s, true);
    ASSERT_EQ(m.ParagraphCount(), static_cast<std::int32_t>(want.marks.size()) + 1);
    std::uint32_t from = 0;
    for (std::size_t k = 0; k <= want.marks.size(); ++k) {
        const std::uint32_t end = k < want.marks.size() ? want.marks[k].end : s.size();
        ASSERT_EQ(m.Paragraph(static_cast<std::int32_t>(k))->length, end - from) << k;
        ASSERT_EQ(m.Paragraph(static_cast<std::int32_t>(k))->line0.style,
                  k == 0 ? 0 : want.marks[k - 1].style)
            << k;
        if (k < want.marks.size()) from = want.marks[k].next;
    }
    EXPECT_EQ(m.ParagraphText(m.ParagraphCount() - 2), "after the seam");
    EXPECT_EQ(m.ParagraphText(m.ParagraphCount() - 1), "last");
    m.SetLineBreak(pbLF);
    TStringStream out;
    m.SaveToStream(out);
    std::string expected;
    for (std::size_t k = 0, at = 0; k <= want.marks.size(); ++k) {
        const std::size_t end = k < want.marks.size() ? want.marks[k].end : s.size();
        expected.append(s, at, end - at);
        if (k < want.marks.size()) {
            expected += '\n';
            at = want.marks[k].next;
        }
    }
    EXPECT_TRUE(out.DataString() == expected);
    m.CheckConsistency();
}

} // namespace
} // namespace lorvane
