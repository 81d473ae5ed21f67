// Plain-text loading and saving: the one place where line breaks of every
// style are recognised and the paragraph list is built in bulk.
#include "editor/model/BreakScan.h"
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Stream.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace lorvane {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(50);
constexpr std::int64_t kChunk = 65500;

bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

bool IsBreak(char c) noexcept {
    return c == '\r' || c == '\n';
}

// Removes pairs of the same code inside one run of codes: they cancel.
void CleanCodes(std::string& s) {
    std::size_t a = 0;
    while (a < s.size()) {
        const auto c = static_cast<unsigned char>(s[a]);
        if (!IsFormatCode(c)) {
            ++a;
            continue;
        }
        std::size_t b = a + 1;
        while (b < s.size() && IsFormatCode(static_cast<unsigned char>(s[b])) &&
               static_cast<unsigned char>(s[b]) != c)
            ++b;
        if (b < s.size() && static_cast<unsigned char>(s[b]) == c) {
            s.erase(b, 1);
            s.erase(a, 1);
        } else {
            ++a;
        }
    }
}

} // namespace

void RIzuvAzazModel::LoadFromStream(TStream& stream) {
    ++updateCount_;
    const std::int32_t oldLineCount = LineCount();
    ClearStore();
    AttrInfo* context = NewStartContext(nullptr);
    const bool codes = staticFormat_;
    const bool discard = HasOption(rzoDiscardTrailingSpaces);
    const int threads = LoadThreads();
    std::uint8_t style = 0, paragraphStyle = 0;
    std::string carry; // a paragraph that straddles blocks
    std::vector<PlacedText> placed;
    auto lastReport = Clock::now();
    char previousBreak = 0; // the break byte just seen, while its partner may follow
    bool stopped = false;

    auto append = [&](const char* text, std::int64_t length, bool withBreak) {
        if (withBreak && discard)
            while (length > 0 && IsBlank(text[length - 1]))
                --length;
        AppendParagraph(text, static_cast<std::int32_t>(length), paragraphStyle, context);
        paragraphStyle = style;
    };

    // Byte by byte, copying every paragraph: for a block where the text
    // ends at a zero byte or a paragraph may grow over the longest allowed.
    auto readSlowly = [&](const char* data, std::int64_t got, std::int64_t blockPos) {
        std::int64_t from = 0; // start of the current paragraph's bytes in this block
        for (std::int64_t i = 0; i < got; ++i) {
            const char c = data[i];
            if (c == '\r' || c == '\n') {
                if (previousBreak && c != previousBreak) {
                    previousBreak = 0; // second half of CR LF or LF CR
                    from = i + 1;
                    continue;
                }
                if (carry.empty()) {
                    append(data + from, i - from, true);
                } else {
                    carry.append(data + from, static_cast<std::size_t>(i - from));
                    append(carry.data(), static_cast<std::int64_t>(carry.size()), true);
                    carry.clear();
                }
                previousBreak = c;
                from = i + 1;
                continue;
            }
            previousBreak = 0;
            if (c == 0) {
                stream.SetPosition(blockPos + i);
                carry.append(data + from, static_cast<std::size_t>(i - from));
                stopped = true;
                return;
            }
            if (codes && IsFormatCode(static_cast<unsigned char>(c)))
                style ^= StyleBitOfCode(static_cast<unsigned char>(c));
            if (static_cast<std::int64_t>(carry.size()) + (i - from) + 1 >= kMaxParagraphLength) {
                // An over-long paragraph ends here as if a break followed.
                carry.append(data + from, static_cast<std::size_t>(i + 1 - from));
                append(carry.data(), static_cast<std::int64_t>(carry.size()), true);
                carry.clear();
                from = i + 1;
            }
        }
        carry.append(data + from, static_cast<std::size_t>(got - from));
    };

    // The usual way: the breaks are found on all threads at once, and the
    // paragraphs stay where they were read. Returns whether any did.
    auto readInPlace = [&](char* data, std::int64_t got) {
        std::int64_t begin = 0; // start of the current paragraph
        if (previousBreak && IsBreak(data[0]) && data[0] != previousBreak) begin = 1;
        const std::vector<BreakPart> parts = ScanBreaksParallel(
            data, static_cast<std::size_t>(begin), static_cast<std::size_t>(got), codes, threads);
        placed.clear();
        for (const BreakPart& part : parts) {
            for (const BreakMark& m : part.marks) {
                std::int64_t length = m.end - begin;
                if (!carry.empty()) {
                    carry.append(data + begin, static_cast<std::size_t>(length));
                    append(carry.data(), static_cast<std::int64_t>(carry.size()), true);
                    carry.clear();
                } else {
                    if (discard)
                        while (length > 0 && IsBlank(data[begin + length - 1]))
                            --length;
                    placed.push_back(PlacedText{static_cast<std::uint32_t>(begin),
                                                static_cast<std::int32_t>(length), paragraphStyle});
                }
                paragraphStyle = style ^ m.style;
                begin = m.next;
            }
            style ^= part.style;
        }
        AppendPlaced(data, placed, context, threads);
        carry.append(data + begin, static_cast<std::size_t>(got - begin));
        previousBreak = parts.back().pending;
        return !placed.empty();
    };

    try {
        while (!stopped) {
            const std::int64_t blockPos = stream.Position();
            const std::int64_t left = stream.Size() - blockPos;
            const std::int64_t size = std::clamp<std::int64_t>(left, 4096, kLoadBlockBytes);
            char* data = Arena().AllocateBlock(static_cast<std::size_t>(size));
            const std::int64_t got = stream.Read(data, size);
            if (got <= 0) {
                Arena().ReleaseBlock(data);
                break;
            }
            if (nullReplacement_ != 0)
                for (char* z = data; (z = static_cast<char*>(std::memchr(
                                          z, 0, static_cast<std::size_t>(data + got - z))));)
                    *z = nullReplacement_;
            if ((nullReplacement_ == 0 && std::memchr(data, 0, static_cast<std::size_t>(got))) ||
                static_cast<std::int64_t>(carry.size()) + got >= kMaxParagraphLength - 1) {
                readSlowly(data, got, blockPos);
                Arena().ReleaseBlock(data);
            } else if (!readInPlace(data, got)) {
                Arena().ReleaseBlock(data);
            }
            const auto now = Clock::now();
            if (now - lastReport >= kProgressInterval) {
                lastReport = now;
                FireProgress(progress_ < 0 ? 0 : progress_);
            }
        }
        append(carry.data(), static_cast<std::int64_t>(carry.size()), false);
    } catch (...) {
        ReleaseContext(context);
        if (ParagraphCount() == 0) MakeInitialParagraph();
        AfterLoad(oldLineCount);
        throw;
    }
    ReleaseContext(context);
    AfterLoad(oldLineCount, true, true);
}

void RIzuvAzazModel::AfterLoad(std::int32_t oldLineCount, bool relayout, bool fresh) {
    startStopFrontier_ = -1;
    widest_ = 0;
    widestParagraph_ = -1;
    for (TNavigator* n : navigators_) {
        n->Invalidate();
        n->position_ = 0;
    }
    caretAtStop_ = false;
    selLength_ = 0;
    undo_.Clear();
    modified_ = true;
    if (OnParse) OnParse(0, TextLength());
    if (updateCount_ > 0) --updateCount_;
    RefreshWholeText(oldLineCount, relayout, fresh);
}

void RIzuvAzazModel::RefreshWholeText(std::int32_t oldLineCount, bool relayout, bool fresh) {
    FireProgress(100);
    if (updateCount_ > 0) {
        changedLine_ = 0;
        changedFirst_ = 0;
        changedLast_ = ParagraphCount() - 1;
        lineDelta_ = LineCount() - oldLineCount;
        editInPlace_ = false;
    } else {
        changedLine_ = changedFirst_ = changedLast_ = -1;
        lineDelta_ = 0;
        jobPending_ = false;
        if (relayout) RelayoutAll(fresh);
        if (host_) {
            host_->UpdateScrollRanges();
            host_->UpdateCaret();
        }
        if (OnChange) OnChange();
    }
}

void RIzuvAzazModel::SaveToStream(TStream& stream) {
    static const char* const kBreaks[] = {"\r\n", "\n\r", "\r", "\n"};
    const std::string_view lineBreak = kBreaks[lineBreak_];
    const bool clean = staticFormat_ && stripPairedCodes_;
    const bool discard = HasOption(rzoDiscardTrailingSpaces);
    const std::int32_t count = ParagraphCount();
    auto lastReport = Clock::now();
    std::string copy;
    // Short paragraphs are gathered into one buffer so that a big text is
    // not written a line at a time.
    std::string pending;
    pending.reserve(static_cast<std::size_t>(kChunk) * 2);
    auto put = [&](const char* bytes, std::int64_t n) {
        if (n >= kChunk) {
            stream.WriteBuffer(pending.data(), static_cast<std::int64_t>(pending.size()));
            pending.clear();
            stream.WriteBuffer(bytes, n);
            return;
        }
        pending.append(bytes, static_cast<std::size_t>(n));
        if (static_cast<std::int64_t>(pending.size()) >= kChunk) {
            stream.WriteBuffer(pending.data(), static_cast<std::int64_t>(pending.size()));
            pending.clear();
        }
    };
    for (std::int32_t i = 0; i < count; ++i) {
        const ParagraphInfo* p = ParagraphAt(i);
        const char* text = p->text;
        std::int64_t length = p->length;
        if (clean) {
            bool hasCode = false;
            for (std::int64_t k = 0; k < length && !hasCode; ++k)
                hasCode = IsFormatCode(static_cast<unsigned char>(text[k]));
            if (hasCode) {
                copy.assign(text, static_cast<std::size_t>(length));
                CleanCodes(copy);
                text = copy.data();
                length = static_cast<std::int64_t>(copy.size());
            }
        }
        if (discard)
            while (length > 0 && IsBlank(text[length - 1]))
                --length;
        if (length) put(text, length);
        if (i + 1 < count) put(lineBreak.data(), static_cast<std::int64_t>(lineBreak.size()));
        if ((i & 1023) == 0) {
            const auto now = Clock::now();
            if (now - lastReport > kProgressInterval) {
                lastReport = now;
                FireProgress(static_cast<std::int32_t>(static_cast<std::int64_t>(i) * 100 / count));
            }
        }
    }
    stream.WriteBuffer(pending.data(), static_cast<std::int64_t>(pending.size()));
    FireProgress(100);
}

void RIzuvAzazModel::SetText(std::string_view text) {
    const std::string_view bytes = text.substr(0, std::min(text.find('\0'), text.size()));
    if (bytes.empty() && TextLength() == 0) return;
    TStringStream stream{std::string(bytes)};
    LoadFromStream(stream);
    modified_ = true;
}

bool RIzuvAzazModel::ExchangeBytes(const std::array<unsigned char, 256>& table) {
    for (int b = 0; b < 0x80; ++b)
        if (table[static_cast<std::size_t>(b)] != b) return false;
    ++updateCount_;
    const std::int32_t oldLineCount = LineCount();
    const std::int32_t count = ParagraphCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const ParagraphInfo* p = ParagraphAt(i);
        auto* text = reinterpret_cast<unsigned char*>(p->text);
        for (std::int32_t k = 0; k < p->length; ++k)
            text[k] = table[text[k]];
    }
    // Records of earlier edits hold bytes of the text as it was.
    AfterLoad(oldLineCount);
    return true;
}

} // namespace lorvane
