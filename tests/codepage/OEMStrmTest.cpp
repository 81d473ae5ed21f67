#include "codepage/OEMStrm.h"

#include "codepage/CodePageLetters.h"
#include "platform/CodePageTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace lorvane {
namespace {

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
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

TEST(ConversionStreams, OutAndBackThroughTheLetterTable) {
    const std::string letters(CodePageLetters[PG_WIN]);
    const std::string text = "mov ax, 1 ; " + letters + " \xAB\xBB\r\n";

    // DOS: the 66 letters return; « and » went out as < and > and stay so.
    TWDOSStream dos(text);
    const std::string back = RecodeString(PG_DOS886, PG_WIN, Drain(dos));
    EXPECT_EQ(back, "mov ax, 1 ; " + letters + " <>\r\n");

    // KOI8: А..я return, and Ё/ё never left.
    TWKOI8Stream koi(text);
    EXPECT_EQ(RecodeString(PG_KOI, PG_WIN, Drain(koi)), text);
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
