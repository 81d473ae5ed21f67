// The binary layout stream: the store with its display lines and attribute
// entries. Reading trusts nothing: every count is checked against what the
// stream can still hold and every record against the paragraph it belongs
// to, and a bad stream leaves an empty text behind.
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Error.h"
#include "platform/Stream.h"

#include <cstring>
#include <vector>

namespace lorvane {

namespace {

void PutInt(TStream& s, std::int32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    s.WriteBuffer(b, 4);
}

std::int32_t GetInt(TStream& s) {
    unsigned char b[4];
    s.ReadBuffer(b, 4);
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
        static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

[[noreturn]] void Bad(const char* what) {
    throw Error(std::string("Invalid layout stream: ") + what);
}

} // namespace

void RIzuvAzazModel::SaveLayout(TStream& stream) {
    const std::int32_t count = ParagraphCount();
    PutInt(stream, TextLength());
    PutInt(stream, LineCount());
    PutInt(stream, widest_);
    PutInt(stream, count);
    for (std::int32_t i = 0; i < count; ++i) {
        const ParagraphInfo* p = ParagraphAt(i);
        PutInt(stream, p->length);
        PutInt(stream, FirstLineAt(i));
        PutInt(stream, StartAt(i));
        PutInt(stream, p->entryCount);
        PutInt(stream, p->lineCount);
        stream.WriteBuffer(&p->line0, sizeof(LineInfo));
        if (p->lineCount > 1)
            stream.WriteBuffer(p->furtherLines, static_cast<std::int64_t>(p->lineCount - 1) *
                                                    static_cast<std::int64_t>(sizeof(LineInfo)));
        if (p->entryCount)
            stream.WriteBuffer(p->entries, static_cast<std::int64_t>(p->entryCount) *
                                               static_cast<std::int64_t>(sizeof(AttrInfo)));
        stream.WriteBuffer(p->text, p->length);
    }
}

void RIzuvAzazModel::LoadLayout(TStream& stream, bool relayout) {
    ++updateCount_;
    const std::int32_t oldLineCount = LineCount();
    ClearStore();
    AttrInfo* context = NewStartContext(nullptr);
    try {
        auto remaining = [&] { return stream.Size() - stream.Position(); };
        const std::int32_t textLength = GetInt(stream);
        const std::int32_t lineCount = GetInt(stream);
        const std::int32_t widest = GetInt(stream);
        const std::int32_t count = GetInt(stream);
        constexpr std::int64_t kMinParagraphBytes = 5 * 4 + sizeof(LineInfo);
        if (textLength < 0 || lineCount < 1 || widest < 0 || count < 1) Bad("header");
        if (count > remaining() / kMinParagraphBytes) Bad("paragraph count");
        std::int64_t start = 0, line = 0;
        std::vector<LineInfo> lines;
        std::vector<AttrInfo> entries;
        std::string text;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t length = GetInt(stream);
            const std::int32_t firstLine = GetInt(stream);
            const std::int32_t paragraphStart = GetInt(stream);
            const std::int32_t entryCount = GetInt(stream);
            const std::int32_t lines_n = GetInt(stream);
            if (length < 0 || length > kMaxParagraphLength || entryCount < 0 || lines_n < 1)
                Bad("paragraph counts");
            const std::int64_t bytes = static_cast<std::int64_t>(lines_n) * sizeof(LineInfo) +
                                       static_cast<std::int64_t>(entryCount) * sizeof(AttrInfo) +
                                       length;
            if (bytes > remaining()) Bad("paragraph larger than the stream");
            if (firstLine != line || paragraphStart != start) Bad("paragraph position");
            lines.resize(static_cast<std::size_t>(lines_n));
            stream.ReadBuffer(lines.data(),
                              static_cast<std::int64_t>(lines.size() * sizeof(LineInfo)));
            std::int32_t expected = 0;
            for (const LineInfo& l : lines) {
                if (l.start != expected || l.end < l.start || l.end > length) Bad("display lines");
                expected = l.end;
            }
            if (expected != length) Bad("display lines do not cover the paragraph");
            entries.resize(static_cast<std::size_t>(entryCount));
            stream.ReadBuffer(entries.data(),
                              static_cast<std::int64_t>(entries.size() * sizeof(AttrInfo)));
            std::uint32_t previous = 0;
            for (const AttrInfo& a : entries) {
                if (a.offsetOrRefs < previous ||
                    a.offsetOrRefs > static_cast<std::uint32_t>(length))
                    Bad("attribute offsets");
                previous = a.offsetOrRefs;
            }
            text.resize(static_cast<std::size_t>(length));
            stream.ReadBuffer(text.data(), length);
            // The model never holds a zero or a CR inside a paragraph: a CR is
            // a line break, and undo would re-read it as one.
            if (std::memchr(text.data(), 0, text.size()) ||
                std::memchr(text.data(), '\r', text.size()))
                Bad("zero or CR byte in text");

            ParagraphInfo* p = AppendParagraph(text.data(), length, lines[0].style, context, true);
            TLinesList view(p);
            view.SetCount(lines_n);
            for (std::int32_t k = 0; k < lines_n; ++k)
                *view.At(k) = lines[static_cast<std::size_t>(k)];
            lineCount_ += lines_n - 1;
            for (const AttrInfo& a : entries)
                InsertEntryAt(*p, p->entryCount, a, static_cast<std::int32_t>(a.offsetOrRefs));
            TrimEntries(*p);
            p->laidOut = 1;
            p->startStopScanned = 1;
            p->keywordsApplied = 1;
            if (entryCount > 0 && i + 1 < count) {
                ReleaseContext(context);
                context = NewStartContext(&entries.back());
            }
            start += static_cast<std::int64_t>(length) + 2;
            line += lines_n;
            if (start > INT32_MAX || line > INT32_MAX) Bad("text too long");
        }
        if (start - 2 != textLength || line != lineCount) Bad("totals");
        if (remaining() > 0) Bad("more data than the header announces");
        widest_ = widest;
    } catch (...) {
        ReleaseContext(context);
        ClearStore();
        MakeInitialParagraph();
        AfterLoad(oldLineCount);
        throw;
    }
    ReleaseContext(context);
    const std::int32_t widest = widest_;
    layoutFrom_ = ParagraphCount();
    layoutTo_ = -1;
    AfterLoad(oldLineCount, relayout);
    if (!relayout) widest_ = widest;
}

} // namespace lorvane
