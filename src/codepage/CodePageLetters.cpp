#include "codepage/CodePageLetters.h"

namespace lorvane {
namespace {

constexpr bool RowHas66DistinctBytes(std::string_view row) {
    if (row.size() != 66) return false;
    for (std::size_t i = 0; i < row.size(); ++i)
        for (std::size_t j = i + 1; j < row.size(); ++j)
            if (row[i] == row[j]) return false;
    return true;
}

static_assert(RowHas66DistinctBytes(CodePageLetters[PG_WIN]));
static_assert(RowHas66DistinctBytes(CodePageLetters[PG_KOI]));
static_assert(RowHas66DistinctBytes(CodePageLetters[PG_DOS886]));
static_assert(RowHas66DistinctBytes(CodePageLetters[PG_MAC]));
static_assert(RowHas66DistinctBytes(CodePageLetters[PG_ISO]));

// One byte table per ordered pair, built from the two rows. Because a row
// holds no byte twice, the table gives exactly what searching the row for
// each byte would, at one lookup per byte.
struct PairTables {
    unsigned char table[kConvTypeCount][kConvTypeCount][256];

    PairTables() noexcept {
        for (int from = 0; from < kConvTypeCount; ++from) {
            for (int to = 0; to < kConvTypeCount; ++to) {
                unsigned char* t = table[from][to];
                for (int b = 0; b < 256; ++b)
                    t[b] = static_cast<unsigned char>(b);
                if (from == to) continue;
                const std::string_view src = CodePageLetters[static_cast<std::size_t>(from)];
                const std::string_view dst = CodePageLetters[static_cast<std::size_t>(to)];
                for (std::size_t p = 0; p < src.size(); ++p)
                    t[static_cast<unsigned char>(src[p])] = static_cast<unsigned char>(dst[p]);
            }
        }
    }
};

const PairTables& Tables() noexcept {
    static const PairTables tables;
    return tables;
}

bool Valid(TConvType page) noexcept {
    return static_cast<int>(page) < kConvTypeCount;
}

} // namespace

const unsigned char* RecodeTable(TConvType from, TConvType to) noexcept {
    // A code page value outside the enumeration (a damaged stored setting)
    // converts nothing rather than reading past the tables.
    if (!Valid(from) || !Valid(to)) from = to = PG_WIN;
    return Tables().table[from][to];
}

void RecodeBuffer(TConvType from, TConvType to, char* data, std::size_t size) noexcept {
    if (from == to) return;
    const unsigned char* t = RecodeTable(from, to);
    auto* p = reinterpret_cast<unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        p[i] = t[p[i]];
}

std::string RecodeString(TConvType from, TConvType to, std::string_view s) {
    std::string out(s);
    RecodeBuffer(from, to, out.data(), out.size());
    return out;
}

} // namespace lorvane
