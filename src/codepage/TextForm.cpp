#include "codepage/TextForm.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

std::string_view BreakBytes(TBreakStyle style) noexcept {
    switch (style) {
    case TBreakStyle::LFCR:
        return "\n\r";
    case TBreakStyle::CR:
        return "\r";
    case TBreakStyle::LF:
        return "\n";
    case TBreakStyle::CRLF:
        break;
    }
    return "\r\n";
}

std::string_view BreakName(TBreakStyle style) noexcept {
    switch (style) {
    case TBreakStyle::LFCR:
        return "LF CR";
    case TBreakStyle::CR:
        return "CR";
    case TBreakStyle::LF:
        return "LF";
    case TBreakStyle::CRLF:
        break;
    }
    return "CR LF";
}

namespace {

// Calls `each(style, end)` for every break of `bytes`, paired as the
// editor's loader pairs them: a CR right after an LF (or the reverse) that
// opened the break belongs to it. `end` is the offset just past the break.
template <typename Each> void ForEachBreak(std::string_view bytes, Each&& each) {
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    // The next CR and the next LF, each sought again only once passed: a
    // file with no CR at all must not be searched to its end at every LF.
    const auto next = [&](char c, std::size_t from) {
        const void* hit = from < size ? std::memchr(data + from, c, size - from) : nullptr;
        return hit == nullptr ? size
                              : static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    };
    std::size_t cr = next('\r', 0), lf = next('\n', 0);
    while (cr < size || lf < size) {
        const std::size_t at = std::min(cr, lf);
        const bool isCr = at == cr;
        const std::size_t other = isCr ? lf : cr;
        std::size_t end = at + 1;
        if (other < size && other == at + 1) {
            each(isCr ? TBreakStyle::CRLF : TBreakStyle::LFCR, at + 2);
            end = at + 2;
        } else {
            each(isCr ? TBreakStyle::CR : TBreakStyle::LF, at + 1);
        }
        if (cr < end) cr = next('\r', end);
        if (lf < end) lf = next('\n', end);
    }
}

// A page's bytes as UTF-8 and the way back for the two-byte characters
// (all Cyrillic and most signs), built once: a whole file goes through
// these a character at a time.
struct PageUtf8 {
    std::array<std::array<char, 4>, 256> encoded{};
    std::array<std::uint8_t, 256> length{};
    std::array<std::int16_t, 0x800> twoByte{}; // code point -> byte, or -1
};

const PageUtf8& TablesOf(cp::CodePage page) {
    static const auto all = [] {
        std::array<PageUtf8, cp::kCodePageCount> tables{};
        for (int p = 0; p < cp::kCodePageCount; ++p) {
            PageUtf8& t = tables[static_cast<std::size_t>(p)];
            t.twoByte.fill(-1);
            for (int b = 0; b < 256; ++b) {
                const char32_t c =
                    cp::ToUnicode(static_cast<cp::CodePage>(p), static_cast<unsigned char>(b));
                std::string utf8;
                cp::AppendUtf8(utf8, c);
                std::copy(utf8.begin(), utf8.end(), t.encoded[static_cast<std::size_t>(b)].begin());
                t.length[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(utf8.size());
                if (c >= 0x80 && c < 0x800 && c != 0xFFFD)
                    t.twoByte[c] = static_cast<std::int16_t>(b);
            }
        }
        return tables;
    }();
    return all[static_cast<std::size_t>(page)];
}

bool Continuation(char c) noexcept {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

TBreakStyle DetectBreakStyle(std::string_view bytes) noexcept {
    std::array<std::int64_t, 4> counts{};
    ForEachBreak(
        bytes, [&](TBreakStyle style, std::size_t) { ++counts[static_cast<std::size_t>(style)]; });
    TBreakStyle best = TBreakStyle::CRLF;
    for (TBreakStyle style : {TBreakStyle::LF, TBreakStyle::CR, TBreakStyle::LFCR})
        if (counts[static_cast<std::size_t>(style)] > counts[static_cast<std::size_t>(best)])
            best = style;
    return best;
}

std::int64_t LineOfOffset(std::string_view bytes, std::size_t offset) noexcept {
    std::int64_t line = 1;
    ForEachBreak(bytes.substr(0, std::min(offset, bytes.size())),
                 [&](TBreakStyle, std::size_t) { ++line; });
    return line;
}

bool IsUtf8Text(std::string_view bytes) noexcept {
    bool mark = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    bool beyondAscii = mark;
    std::size_t at = 0;
    const std::size_t size = bytes.size();
    while (at < size) {
        // Eight ASCII bytes at a time: most source text is.
        if (at + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + at, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                at += 8;
                continue;
            }
        }
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF && at + 1 < size && Continuation(bytes[at + 1])) {
            beyondAscii = true;
            at += 2;
            continue;
        }
        std::size_t next = at;
        if (cp::NextUtf8(bytes, next) == 0xFFFD) {
            // A real U+FFFD in the file is well formed; only a sequence the
            // decoder had to skip one byte at a time is not.
            if (next - at != 3 || bytes.substr(at, 3) != "\xEF\xBF\xBD") return false;
        }
        beyondAscii = true;
        at = next;
    }
    return beyondAscii;
}

namespace {

// How much text goes between two reports of progress.
constexpr std::size_t kReportEvery = std::size_t{1} << 22;

void ReportAt(const std::function<void(int)>& progress, std::size_t at, std::size_t size) {
    if (progress)
        progress(static_cast<int>(static_cast<double>(at) * 100 / std::max<std::size_t>(size, 1)));
}

} // namespace

TUtf8Decoded DecodeUtf8Text(std::string_view utf8, cp::CodePage page,
                            const std::function<void(int)>& progress) {
    TUtf8Decoded out;
    if (utf8.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        out.mark = true;
        utf8.remove_prefix(kUtf8Mark.size());
    }
    out.bytes.reserve(utf8.size());
    const PageUtf8& tables = TablesOf(page);
    std::size_t at = 0;
    std::size_t nextReport = kReportEvery;
    while (at < utf8.size()) {
        if (at >= nextReport) {
            ReportAt(progress, at, utf8.size());
            nextReport = at + kReportEvery;
        }
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        if (lead < 0x80) {
            // A run of ASCII goes over in one piece.
            std::size_t end = at + 1;
            while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80)
                ++end;
            out.bytes.append(utf8.data() + at, end - at);
            at = end;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF && at + 1 < utf8.size() && Continuation(utf8[at + 1])) {
            const unsigned code =
                ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[at + 1]) & 0x3Fu);
            if (const int b = tables.twoByte[code]; b >= 0) {
                out.bytes.push_back(static_cast<char>(b));
                at += 2;
                continue;
            }
        }
        const std::size_t start = at;
        const char32_t c = cp::NextUtf8(utf8, at);
        const int b = c == 0xFFFD ? -1 : cp::FromUnicode(page, c);
        if (b >= 0) {
            out.bytes.push_back(static_cast<char>(b));
            continue;
        }
        if (out.complete) {
            out.complete = false;
            out.firstMissing = c;
            out.missingLine = LineOfOffset(utf8, start);
        }
        out.bytes.push_back('?');
    }
    return out;
}

std::string EncodeUtf8Text(std::string_view bytes, cp::CodePage page, bool mark,
                           const std::function<void(int)>& progress) {
    const PageUtf8& tables = TablesOf(page);
    // The exact length first: three bytes for each would cost a buffer of
    // three times a huge text.
    std::size_t length = kUtf8Mark.size() * mark;
    for (std::size_t from = 0; from < bytes.size(); from += kReportEvery) {
        ReportAt(progress, from / 2, bytes.size());
        for (const char ch : bytes.substr(from, kReportEvery))
            length += tables.length[static_cast<unsigned char>(ch)];
    }
    std::string out(length, '\0');
    char* to = out.data();
    if (mark) to = std::copy(kUtf8Mark.begin(), kUtf8Mark.end(), to);
    for (std::size_t from = 0; from < bytes.size(); from += kReportEvery) {
        ReportAt(progress, (bytes.size() + from) / 2, bytes.size());
        for (const char ch : bytes.substr(from, kReportEvery)) {
            const auto b = static_cast<unsigned char>(ch);
            const std::uint8_t n = tables.length[b];
            const char* code = tables.encoded[b].data();
            to[0] = code[0];
            if (n > 1) {
                to[1] = code[1];
                if (n > 2) to[2] = code[2];
            }
            to += n;
        }
    }
    return out;
}

TByteCounts CountBytes(std::string_view bytes) noexcept {
    // Four tables, so that runs of one byte value (blanks, a box-drawing
    // line) do not wait on the same counter; every opened file goes
    // through here.
    std::array<TByteCounts, 4> part{};
    const std::size_t size = bytes.size(), whole = size & ~std::size_t{3};
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < whole; i += 4) {
        ++part[0][data[i]];
        ++part[1][data[i + 1]];
        ++part[2][data[i + 2]];
        ++part[3][data[i + 3]];
    }
    for (std::size_t i = whole; i < size; ++i)
        ++part[0][data[i]];
    TByteCounts counts{};
    for (std::size_t b = 0; b < counts.size(); ++b)
        counts[b] = part[0][b] + part[1][b] + part[2][b] + part[3][b];
    return counts;
}

} // namespace lorvane
