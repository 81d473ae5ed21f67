#include "editor/model/TextStore.h"

#include "editor/model/BreakScan.h"
#include "editor/model/ErrorTexts.h"
#include "editor/model/Navigator.h"
#include "platform/Error.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

TTextStore::TTextStore() {
    MakeInitialParagraph();
}

TTextStore::~TTextStore() {
    for (std::int32_t i = 0; i < paragraphs_.Count(); ++i)
        FreeParagraph(*ParagraphAt(i));
    // Navigators outliving the store keep a dangling owner otherwise.
    for (TNavigator* n : navigators_)
        n->memo_ = nullptr;
}

std::string TTextStore::ParagraphText(std::int32_t index) const {
    const ParagraphInfo* p = Paragraph(index);
    return p->length ? std::string(p->text, static_cast<std::size_t>(p->length)) : std::string();
}

std::unique_ptr<char[]> TTextStore::ParagraphTextCopy(std::int32_t index) const {
    const ParagraphInfo* p = Paragraph(index);
    auto copy = std::make_unique<char[]>(static_cast<std::size_t>(p->length) + 1);
    if (p->length) std::memcpy(copy.get(), p->text, static_cast<std::size_t>(p->length));
    copy[static_cast<std::size_t>(p->length)] = 0;
    return copy;
}

std::int32_t TTextStore::ParagraphStart(std::int32_t index) const {
    (void)Paragraph(index); // bounds check
    return StartAt(index);
}

std::int32_t TTextStore::FindParagraph(std::int32_t pos) const noexcept {
    std::int32_t lo = 0, hi = paragraphs_.Count() - 1;
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (StartAt(mid) <= pos)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

std::uint8_t TTextStore::StyleAt(std::int32_t i, std::int32_t offset) const noexcept {
    if (!staticFormat_) return 0;
    ParagraphInfo* p = ParagraphAt(i);
    TLinesList view(p);
    std::int32_t k = 0;
    while (k < p->lineCount - 1 && view.At(k)->end <= offset)
        ++k;
    const LineInfo* line = view.At(k);
    std::uint8_t style = line->style;
    const std::int32_t end = offset < p->length ? offset : p->length;
    if (end <= line->start ||
        !ContainsFormatCode(p->text + line->start, static_cast<std::size_t>(end - line->start)))
        return style;
    for (std::int32_t j = line->start; j < end; ++j)
        style ^= StyleBitOfCode(static_cast<unsigned char>(p->text[j]));
    return style;
}

void TTextStore::Bake(std::int32_t ParagraphInfo::*field, std::int32_t from, std::int32_t to,
                      std::int32_t delta) noexcept {
    for (std::int32_t i = from; i < to; ++i)
        ParagraphAt(i)->*field += delta;
}

void TTextStore::AddFrom(std::int32_t ParagraphInfo::*field, PendingShift& s, std::int32_t j,
                         std::int32_t d) noexcept {
    const std::int32_t n = paragraphs_.Count();
    if (j < 0) j = 0;
    if (d == 0 || j >= n) return;
    if (s.delta == 0 || s.from >= n) {
        s.from = j;
        s.delta = d;
        return;
    }
    // The pending start always moves to the latest edit, so that further
    // edits at the same place cost nothing; moving it settles the records
    // between the old and the new start.
    if (j > s.from)
        Bake(field, s.from, j, s.delta);
    else if (j < s.from)
        Bake(field, j, s.from, -s.delta);
    s.from = j;
    s.delta += d;
    if (s.delta == 0) s.from = INT_MAX;
}

void TTextStore::SettleShifts() noexcept {
    const std::int32_t n = paragraphs_.Count();
    if (starts_.delta && starts_.from < n)
        Bake(&ParagraphInfo::start, starts_.from, n, starts_.delta);
    if (lines_.delta && lines_.from < n)
        Bake(&ParagraphInfo::firstLine, lines_.from, n, lines_.delta);
    starts_ = PendingShift{};
    lines_ = PendingShift{};
}

void TTextStore::ReplaceLines(std::int32_t i, std::int32_t first, std::int32_t oldCount,
                              const LineInfo* lines, std::int32_t newCount) {
    ParagraphInfo* p = ParagraphAt(i);
    TLinesList view(p);
    const std::int32_t count = p->lineCount;
    const std::int32_t tail = count - first - oldCount;
    const std::int32_t total = first + newCount + tail;
    if (newCount > oldCount) view.SetCount(total);
    // Move the kept tail to its new place, then copy the new lines in.
    if (tail > 0 && newCount != oldCount) {
        if (newCount > oldCount) {
            for (std::int32_t k = tail - 1; k >= 0; --k)
                *view.At(first + newCount + k) = *view.At(first + oldCount + k);
        } else {
            for (std::int32_t k = 0; k < tail; ++k)
                *view.At(first + newCount + k) = *view.At(first + oldCount + k);
        }
    }
    for (std::int32_t k = 0; k < newCount; ++k)
        *view.At(first + k) = lines[k];
    if (newCount < oldCount) view.SetCount(total);
    const std::int32_t d = total - count;
    if (d) {
        lineCount_ += d;
        ShiftFirstLinesFrom(i + 1, d);
    }
}

void TTextStore::AttachNavigator(TNavigator* navigator) {
    navigators_.push_back(navigator);
}

void TTextStore::DetachNavigator(TNavigator* navigator) noexcept {
    auto it = std::find(navigators_.begin(), navigators_.end(), navigator);
    if (it != navigators_.end()) navigators_.erase(it);
}

void TTextStore::InvalidateLineCaches(std::int32_t fromPosition,
                                      std::int32_t lastParagraph) noexcept {
    for (TNavigator* n : navigators_) {
        if (n->paragraph_ && n->position_ > fromPosition && n->index_ <= lastParagraph) {
            n->attrIndex_ = TNavigator::kUnset;
            n->lineIndex_ = TNavigator::kUnset;
        }
    }
}

void TTextStore::FreeParagraph(ParagraphInfo& p) noexcept {
    FreeTextBuffer(arena_, p.text);
    p.text = nullptr;
    FreeLinesAndEntries(p);
    ReleaseContext(p.startContext);
    p.startContext = nullptr;
}

void TTextStore::InitRecord(ParagraphInfo& p, AttrInfo* context) noexcept {
    p = ParagraphInfo{};
    p.startContext = context;
}

void TTextStore::SetParagraphBytes(ParagraphInfo& p, const char* text, std::int32_t length) {
    if (length == 0) {
        FreeTextBuffer(arena_, p.text);
        p.text = nullptr;
        p.length = 0;
        return;
    }
    const std::size_t need = static_cast<std::size_t>(length) + 1;
    const bool own = p.text && !arena_.Owns(p.text);
    if (own && TextBufferCapacity(p.text) >= need) {
        std::memmove(p.text, text, static_cast<std::size_t>(length));
    } else {
        char* buffer = AllocateTextBuffer(need + static_cast<std::size_t>(length) / 64);
        std::memcpy(buffer, text, static_cast<std::size_t>(length));
        FreeTextBuffer(arena_, p.text);
        p.text = buffer;
    }
    p.text[length] = 0;
    p.length = length;
}

void TTextStore::SpliceText(ParagraphInfo& p, std::int32_t from, std::int32_t to,
                            const char* insert, std::int32_t insertLength) {
    const std::int32_t newLength = p.length - (to - from) + insertLength;
    if (newLength == 0) {
        SetParagraphBytes(p, nullptr, 0);
        return;
    }
    const std::size_t need = static_cast<std::size_t>(newLength) + 1;
    const bool own = p.text && !arena_.Owns(p.text);
    if (own && TextBufferCapacity(p.text) >= need) {
        std::memmove(p.text + from + insertLength, p.text + to,
                     static_cast<std::size_t>(p.length - to));
        if (insertLength)
            std::memcpy(p.text + from, insert, static_cast<std::size_t>(insertLength));
    } else {
        char* buffer = AllocateTextBuffer(need + static_cast<std::size_t>(newLength) / 64);
        if (from) std::memcpy(buffer, p.text, static_cast<std::size_t>(from));
        if (insertLength)
            std::memcpy(buffer + from, insert, static_cast<std::size_t>(insertLength));
        if (p.length > to)
            std::memcpy(buffer + from + insertLength, p.text + to,
                        static_cast<std::size_t>(p.length - to));
        FreeTextBuffer(arena_, p.text);
        p.text = buffer;
    }
    p.text[newLength] = 0;
    p.length = newLength;
}

void TTextStore::InsertRecords(std::int32_t at, std::int32_t n) {
    if (n <= 0) return;
    paragraphs_.InsertPlaces(at, n);
    for (PendingShift* s : {&starts_, &lines_})
        if (s->from != INT_MAX && s->from >= at) s->from += n;
}

void TTextStore::RemoveRecords(std::int32_t at, std::int32_t n) {
    if (n <= 0) return;
    for (std::int32_t i = at; i < at + n; ++i)
        FreeParagraph(*ParagraphAt(i));
    paragraphs_.RemovePlaces(at, n);
    for (PendingShift* s : {&starts_, &lines_}) {
        if (s->from == INT_MAX) continue;
        if (s->from >= at + n)
            s->from -= n;
        else if (s->from > at)
            s->from = at;
    }
}

void TTextStore::ClearStore() {
    for (std::int32_t i = 0; i < paragraphs_.Count(); ++i)
        FreeParagraph(*ParagraphAt(i));
    paragraphs_.SetCount(0);
    paragraphs_.SetCapacity(4);
    arena_.Clear();
    starts_ = PendingShift{};
    lines_ = PendingShift{};
    textLength_ = 0;
    lineCount_ = 0;
}

void TTextStore::MakeInitialParagraph() {
    ParagraphInfo p;
    p.startContext = NewStartContext(nullptr);
    p.startStopScanned = 1;
    p.keywordsApplied = 1;
    paragraphs_.Add(&p);
    lineCount_ = 1;
}

ParagraphInfo* TTextStore::AppendParagraph(const char* text, std::int32_t length,
                                           std::uint8_t style, AttrInfo* context, bool exact) {
    const std::int32_t index = paragraphs_.Count();
    // Every loader builds through here: the 32-bit starts must not wrap.
    if (std::int64_t{textLength_} + 2 + length > texts::kMaxTextLength)
        throw Error(texts::kTextTooLong);
    paragraphs_.SetCount(index + 1);
    ParagraphInfo* p = ParagraphAt(index);
    InitRecord(*p, context);
    RetainContext(context);
    if (length > 0) {
        // Text in the arena is never grown in place (an edit moves it to a
        // buffer of its own), so it takes no spare room there.
        const std::size_t exactBytes = static_cast<std::size_t>(length) + 1;
        char* buffer = arena_.Allocate(exactBytes);
        if (!buffer)
            buffer = AllocateTextBuffer(exactBytes +
                                        (exact ? 0 : static_cast<std::size_t>(length) / 64));
        std::memcpy(buffer, text, static_cast<std::size_t>(length));
        buffer[length] = 0;
        p->text = buffer;
    }
    p->length = length;
    const std::int32_t start = index == 0 ? 0 : textLength_ + 2;
    SetStartAt(index, start);
    SetFirstLineAt(index, lineCount_);
    p->line0.end = length;
    p->line0.style = style;
    textLength_ = start + length;
    ++lineCount_;
    return p;
}

void TTextStore::AppendPlaced(char* block, const std::vector<PlacedText>& texts, AttrInfo* context,
                              int threads) {
    const auto n = static_cast<std::int32_t>(texts.size());
    if (n == 0) return;
    const std::int32_t base = paragraphs_.Count();
    paragraphs_.SetCount(base + n);
    context->offsetOrRefs += static_cast<std::uint32_t>(n);
    // Each thread fills a run of records, starting from the text offset the
    // runs before it add up to; writing the records is what costs (fresh
    // memory), so it is shared out.
    const std::int32_t runs = std::clamp(n / 4096, 1, std::max(1, threads));
    std::vector<std::int32_t> first(static_cast<std::size_t>(runs) + 1), start(first.size());
    std::int32_t at = base == 0 ? 0 : textLength_ + 2;
    for (std::int32_t r = 0, i = 0; r <= runs; ++r) {
        first[static_cast<std::size_t>(r)] =
            static_cast<std::int32_t>(static_cast<std::int64_t>(n) * r / runs);
        for (; i < first[static_cast<std::size_t>(r)]; ++i)
            at += texts[static_cast<std::size_t>(i)].length + 2;
        start[static_cast<std::size_t>(r)] = at;
    }
    auto fill = [&](std::int32_t r) {
        std::int32_t pos = start[static_cast<std::size_t>(r)];
        for (std::int32_t i = first[static_cast<std::size_t>(r)];
             i < first[static_cast<std::size_t>(r) + 1]; ++i) {
            const PlacedText& t = texts[static_cast<std::size_t>(i)];
            ParagraphInfo* p = ParagraphAt(base + i);
            InitRecord(*p, context);
            if (t.length > 0) {
                p->text = block + t.from;
                p->text[t.length] = 0;
            }
            p->length = t.length;
            SetStartAt(base + i, pos);
            SetFirstLineAt(base + i, lineCount_ + i);
            p->line0.end = t.length;
            p->line0.style = t.style;
            pos += t.length + 2;
        }
    };
    RunParts(static_cast<std::size_t>(runs),
             [&](std::size_t r) { fill(static_cast<std::int32_t>(r)); });
    textLength_ = start[static_cast<std::size_t>(runs)] - 2;
    lineCount_ += n;
}

} // namespace lorvane
