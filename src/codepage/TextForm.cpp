#include "codepage/TextForm.h"

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
    std::size_t at = 0;
    while (at < size) {
        // Most of a text is neither CR nor LF; skip it quickly.
        const void* lf = std::memchr(data + at, '\n', size - at);
        const void* cr = std::memchr(data + at, '\r', size - at);
        if (lf == nullptr && cr == nullptr) return;
        const char* first =
            lf == nullptr   ? static_cast<const char*>(cr)
            : cr == nullptr ? static_cast<const char*>(lf)
                            : std::min(static_cast<const char*>(lf), static_cast<const char*>(cr));
        at = static_cast<std::size_t>(first - data);
        const char c = data[at];
        const char other = c == '\r' ? '\n' : '\r';
        if (at + 1 < size && data[at + 1] == other) {
            each(c == '\r' ? TBreakStyle::CRLF : TBreakStyle::LFCR, at + 2);
            at += 2;
        } else {
            each(c == '\r' ? TBreakStyle::CR : TBreakStyle::LF, at + 1);
            at += 1;
        }
    }
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
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
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

TUtf8Decoded DecodeUtf8Text(std::string_view utf8, cp::CodePage page) {
    TUtf8Decoded out;
    if (utf8.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        out.mark = true;
        utf8.remove_prefix(kUtf8Mark.size());
    }
    out.bytes.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        if (lead < 0x80) {
            out.bytes.push_back(static_cast<char>(lead));
            ++at;
            continue;
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

std::string EncodeUtf8Text(std::string_view bytes, cp::CodePage page, bool mark) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2 + 3);
    if (mark) out += kUtf8Mark;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out.push_back(ch);
        else
            cp::AppendUtf8(out, cp::ToUnicode(page, b));
    }
    return out;
}

TByteCounts CountBytes(std::string_view bytes) noexcept {
    TByteCounts counts{};
    for (const char ch : bytes)
        ++counts[static_cast<unsigned char>(ch)];
    return counts;
}

} // namespace lorvane
