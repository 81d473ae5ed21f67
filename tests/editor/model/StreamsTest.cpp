// The text read and written: plain text with every line-break form, the
// paragraph-break scan split across threads against a one-pass oracle, the
// stored-strings form and the layout stream, hostile input included.
#include "editor/model/BreakScan.h"
#include "editor/model/ModelFixture.h"
#include "editor/model/TextViews.h"
#include "platform/Error.h"
#include "platform/Stream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace lorvane {
namespace {

using test::ModelFixture;

std::string Saved(RIzuvAzazModel& m) {
    TStringStream out;
    m.SaveToStream(out);
    return out.DataString();
}

void Load(RIzuvAzazModel& m, const std::string& bytes) {
    TStringStream in(bytes);
    m.LoadFromStream(in);
}

// Every line-break form, and a break across the reading blocks, are the
// break scan's oracle, on a loaded text too.
TEST(PlainTextTest, TrailingBlanksAndNulls) {
    RIzuvAzazModel m;
    Load(m, "x\r\n\ny");
    EXPECT_EQ(m.ParagraphCount(), 3);
    EXPECT_EQ(m.LineCount(), 3);
    EXPECT_EQ(m.SelStart(), 0);
    m.SetOptions(m.Options() | rzoDiscardTrailingSpaces);
    Load(m, "a  \r\nb \t");
    EXPECT_EQ(m.Text(), "a\r\nb \t");

    RIzuvAzazModel z;
    TStringStream in(std::string("ab\0cd", 5));
    z.LoadFromStream(in);
    EXPECT_EQ(z.Text(), "ab");
    EXPECT_EQ(in.Position(), 2);
    Load(z, std::string("a\r\nb\n\rc\rd\0e", 11)); // breaks read byte by byte
    EXPECT_EQ(z.Text(), "a\r\nb\r\nc\r\nd");
    z.SetNullReplacement(' ');
    Load(z, std::string("ab\0cd", 5));
    EXPECT_EQ(z.Text(), "ab cd");
    z.CheckConsistency();
}

TEST(PlainTextTest, SavingBreaksAndCleaningCodes) {
    RIzuvAzazModel m;
    Load(m, "a\r\nb\r\nc");
    m.SetLineBreak(pbLF);
    EXPECT_EQ(Saved(m), "a\nb\nc");
    m.SetLineBreak(pbLFCR);
    EXPECT_EQ(Saved(m), "a\n\rb\n\rc");
    Load(m, "\x02\x02x\r\n\x02\x01\x02y\r\n\x02z\x02");
    m.SetLineBreak(pbCR);
    EXPECT_EQ(Saved(m), "x\r\x01y\r\x02z\x02");
    m.SetStripPairedCodes(false);
    EXPECT_EQ(Saved(m), "\x02\x02x\r\x02\x01\x02y\r\x02z\x02");
}

// The styles paragraphs start in are the break scan's oracle, on a loaded
// text too.
TEST(PlainTextTest, FilesRoundTrip) {
    ModelFixture f(40);
    Load(f.model, "\x02"
                  "bold\r\nstill\x02\r\nplain");

    test::TempDir dir;
    const std::string path = dir.File("t.txt");
    {
        TFileStream out(path, TFileStream::Create);
        f.model.SaveToStream(out);
    }
    RIzuvAzazModel back;
    TFileStream in(path, TFileStream::OpenRead);
    back.LoadFromStream(in);
    EXPECT_EQ(back.Text(), f.model.Text());
}

TEST(StringsPropertyTest, LongParagraphsArePiecedAndReadBack) {
    RIzuvAzazModel m;
    const std::string long600(600, 'k');
    m.SetText(long600 + "\r\n\r\nshort");
    TStringStream out;
    m.Lines().WriteStrings(out);
    const std::string& b = out.DataString();
    ASSERT_GE(b.size(), 3u);
    EXPECT_EQ(b[0], 1); // list
    EXPECT_EQ(b[1], 6); // short string
    EXPECT_EQ(static_cast<unsigned char>(b[2]), 255);
    EXPECT_EQ(b[2 + 255], 5); // continued
    EXPECT_EQ(static_cast<unsigned char>(b[2 + 255 + 2]), 255);
    EXPECT_EQ(static_cast<unsigned char>(b[2 + 2 * 257]), 92);

    RIzuvAzazModel back;
    out.SetPosition(0);
    back.Lines().ReadStrings(out);
    EXPECT_EQ(back.Text(), m.Text());
    EXPECT_FALSE(back.CanUndo());

    // A paragraph that ends with code 5 itself survives the round trip.
    m.SetText(std::string("c\x05\r\nd", 5));
    TStringStream five;
    m.Lines().WriteStrings(five);
    five.SetPosition(0);
    back.Lines().ReadStrings(five);
    EXPECT_EQ(back.Text(), m.Text());

    TStringStream withCr(std::string("\x01\x06\x02"
                                     "a\r\x00",
                                     6));
    EXPECT_THROW(back.Lines().ReadStrings(withCr), Error);
    TStringStream bad(std::string("\x01\x06\x09"
                                  "abc",
                                  6));
    EXPECT_THROW(back.Lines().ReadStrings(bad), Error);
    back.CheckConsistency();
}

std::string LayoutBytes(RIzuvAzazModel& m) {
    TStringStream out;
    m.SaveLayout(out);
    return out.DataString();
}

TEST(LayoutStreamTest, RoundTripKeepsLinesAndEntries) {
    ModelFixture f(10);
    f.model.SetText("aaaa bbbb cccc dddd\r\n\r\nlast one here");
    AttrInfo hl;
    hl.flags = 0x81;
    hl.color1 = 0x123456;
    InsertEntryAt(*f.model.Paragraph(0), 0, hl, 5);
    const std::string bytes = LayoutBytes(f.model);
    RIzuvAzazModel back;
    TStringStream in(bytes);
    back.LoadLayout(in, false);
    EXPECT_EQ(back.Text(), f.model.Text());
    EXPECT_EQ(back.LineCount(), f.model.LineCount());
    EXPECT_EQ(back.Paragraph(0)->lineCount, 2);
    ASSERT_EQ(back.Paragraph(0)->entryCount, 1);
    EXPECT_EQ(back.Paragraph(0)->entries[0].color1, 0x123456u);
    EXPECT_EQ(back.Paragraph(1)->startContext->flags,
              0x81); // the next paragraph starts in that state
    EXPECT_EQ(LayoutBytes(back), bytes);
    back.CheckConsistency();
}

TEST(LayoutStreamTest, HostileStreamsLeaveAnEmptyValidText) {
    ModelFixture f(10);
    f.model.SetText("aaaa bbbb cccc\r\nxy\r\n");
    InsertEntryAt(*f.model.Paragraph(0), 0, AttrInfo{}, 2);
    const std::string good = LayoutBytes(f.model);
    auto expectRejected = [](const std::string& bytes, const char* what) {
        RIzuvAzazModel m;
        m.SetText("previous");
        TStringStream in(bytes);
        EXPECT_THROW(m.LoadLayout(in, true), Error) << what;
        EXPECT_EQ(m.TextLength(), 0) << what;
        EXPECT_EQ(m.ParagraphCount(), 1) << what;
        m.CheckConsistency();
    };
    for (size_t cut = 0; cut < good.size(); ++cut)
        expectRejected(good.substr(0, cut), "truncated");
    expectRejected(good + "x", "extra data");
    auto patched = [&](size_t at, std::int32_t v) {
        std::string b = good;
        std::memcpy(&b[at], &v, 4);
        return b;
    };
    expectRejected(patched(12, -1), "negative count");
    expectRejected(patched(12, 0x7fffffff), "huge count");
    expectRejected(patched(16, 0x7fffffff), "huge length");
    expectRejected(patched(16 + 12, 5000), "huge entry count");
    expectRejected(patched(16 + 16, 0x10000000), "huge line count");
    expectRejected(patched(16 + 20 + 4, 3), "lines that do not cover the paragraph");
    expectRejected(patched(16 + 20 + 2 * 36, 1000), "attribute offset outside");
    expectRejected(patched(0, 99), "wrong text length");
    std::string withCr = good;
    withCr[withCr.rfind("xy")] = '\r';
    expectRejected(withCr, "CR inside a paragraph");
}

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
    static const char* const kBreaks[] = {"\r\n", "\r\n", "\n", "\r", "\n\r", "\r\r"};
    std::string s;
    s.reserve(block + 4096);
    while (s.size() < block - 300) {
        s.append(std::string(rng() % 120, 'w'));
        if (rng() % 4 == 0) s += "\x01\x02\x03"[rng() % 3];
        s.append(kBreaks[rng() % std::size(kBreaks)]);
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
