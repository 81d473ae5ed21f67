// The "Strings" filer property of the text views: a list of strings, long
// paragraphs cut into pieces of 254 characters that end with code 5.
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Error.h"
#include "platform/Stream.h"

#include <climits>
#include <vector>

namespace lorvane {

namespace {

// Value tags of the filer encoding (shared with the other filer properties).
constexpr unsigned char kEndOfList = 0, kList = 1, kString = 6, kLongString = 12;
constexpr char kContinued = 5;

void WriteString(TStream& s, std::string_view v) {
    if (v.size() <= 255) {
        const unsigned char head[2] = {kString, static_cast<unsigned char>(v.size())};
        s.WriteBuffer(head, 2);
    } else {
        const auto n = static_cast<std::uint32_t>(v.size());
        const unsigned char head[5] = {
            kLongString, static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
            static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
        s.WriteBuffer(head, 5);
    }
    s.WriteBuffer(v.data(), static_cast<std::int64_t>(v.size()));
}

unsigned char ReadTag(TStream& s) {
    unsigned char tag;
    s.ReadBuffer(&tag, 1);
    return tag;
}

std::string ReadStringAfter(TStream& s, unsigned char tag) {
    std::int64_t n;
    if (tag == kString) {
        unsigned char b;
        s.ReadBuffer(&b, 1);
        n = b;
    } else if (tag == kLongString) {
        unsigned char b[4];
        s.ReadBuffer(b, 4);
        n = static_cast<std::int64_t>(b[0] | b[1] << 8 | b[2] << 16 |
                                      static_cast<std::uint32_t>(b[3]) << 24);
    } else {
        throw Error("Invalid property value");
    }
    if (n > s.Size() - s.Position()) throw Error("Invalid property value");
    std::string out(static_cast<std::size_t>(n), '\0');
    s.ReadBuffer(out.data(), n);
    return out;
}

} // namespace

void RIzuvAzazModel::WriteStringsProperty(TStream& stream) {
    const unsigned char begin = kList, end = kEndOfList;
    stream.WriteBuffer(&begin, 1);
    std::string piece;
    for (std::int32_t i = 0; i < ParagraphCount(); ++i) {
        const ParagraphInfo* p = ParagraphAt(i);
        std::string_view rest(p->text ? p->text : "", static_cast<std::size_t>(p->length));
        while (rest.size() > 255) {
            piece.assign(rest.substr(0, 254));
            piece.push_back(kContinued);
            WriteString(stream, piece);
            rest.remove_prefix(254);
        }
        if (!rest.empty() && rest.back() == kContinued) {
            // A paragraph that itself ends with code 5 would read as continued
            // and lose that 5: write it with one more 5 and end it with an
            // empty string.
            piece.assign(rest);
            piece.push_back(kContinued);
            WriteString(stream, piece);
            WriteString(stream, {});
        } else {
            WriteString(stream, rest);
        }
    }
    stream.WriteBuffer(&end, 1);
}

// The paragraphs are built directly rather than through Replace, so that the
// stored text comes back byte for byte: Replace would balance and strip the
// format codes of each piece and record every paragraph for undo.
void RIzuvAzazModel::ReadStringsProperty(TStream& stream) {
    if (ReadTag(stream) != kList) throw Error("Invalid property value");
    std::vector<std::string> paragraphs;
    std::string paragraph;
    bool open = false;
    std::int64_t total = 0;
    for (;;) {
        const unsigned char tag = ReadTag(stream);
        if (tag == kEndOfList) break;
        std::string s = ReadStringAfter(stream, tag);
        if (s.find_first_of(std::string_view("\0\r", 2)) != std::string::npos)
            throw Error("Invalid property value");
        open = !s.empty() && s.back() == kContinued;
        if (open) s.pop_back();
        paragraph += s;
        if (static_cast<std::int64_t>(paragraph.size()) > kMaxParagraphLength)
            throw Error("Invalid property value");
        if (!open) {
            total += static_cast<std::int64_t>(paragraph.size()) + 2;
            if (total > INT32_MAX) throw Error("Invalid property value");
            paragraphs.push_back(std::move(paragraph));
            paragraph.clear();
        }
    }
    if (open || paragraphs.empty()) paragraphs.push_back(std::move(paragraph));

    ++updateCount_;
    const std::int32_t oldLineCount = LineCount();
    ClearStore();
    AttrInfo* context = NewStartContext(nullptr);
    std::uint8_t style = 0;
    try {
        for (const std::string& text : paragraphs) {
            AppendParagraph(text.data(), static_cast<std::int32_t>(text.size()), style, context);
            if (staticFormat_)
                for (char c : text)
                    style ^= StyleBitOfCode(static_cast<unsigned char>(c));
        }
    } catch (...) {
        ReleaseContext(context);
        if (ParagraphCount() == 0) MakeInitialParagraph();
        AfterLoad(oldLineCount);
        throw;
    }
    ReleaseContext(context);
    AfterLoad(oldLineCount);
}

} // namespace lorvane
