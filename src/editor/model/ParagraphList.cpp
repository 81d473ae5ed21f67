#include "editor/model/ParagraphList.h"

#include "editor/model/ErrorTexts.h"
#include "platform/Error.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lorvane {

namespace {

// The attribute array's capacity lies in a header just before its first
// entry: the record has no room left for it, and asking the allocator for
// the block's size on every insertion showed in the highlighting's time.
constexpr std::size_t kEntriesHeader = sizeof(std::int32_t);
static_assert(alignof(AttrInfo) <= kEntriesHeader);

char* EntriesBlock(const ParagraphInfo& p) noexcept {
    return p.entries ? reinterpret_cast<char*>(p.entries) - kEntriesHeader : nullptr;
}

// Reallocates the array for exactly `capacity` entries.
void ResizeEntries(ParagraphInfo& p, std::int32_t capacity) {
    void* block = std::realloc(
        EntriesBlock(p), kEntriesHeader + static_cast<std::size_t>(capacity) * sizeof(AttrInfo));
    if (!block) throw std::bad_alloc();
    std::memcpy(block, &capacity, sizeof capacity);
    p.entries = reinterpret_cast<AttrInfo*>(static_cast<char*>(block) + kEntriesHeader);
}

} // namespace

LineInfo* TLinesList::Get(std::int32_t index) const {
    if (index < 0 || index >= paragraph_->lineCount) ThrowListIndexError();
    return At(index);
}

void TLinesList::SetCount(std::int32_t n) {
    if (n < 1) n = 1;
    if (n == paragraph_->lineCount) return;
    if (n - 1 > INT_MAX / static_cast<int>(sizeof(LineInfo))) throw std::bad_alloc();
    if (n == 1) {
        std::free(paragraph_->furtherLines);
        paragraph_->furtherLines = nullptr;
    } else {
        auto* p = static_cast<LineInfo*>(std::realloc(
            paragraph_->furtherLines, static_cast<std::size_t>(n - 1) * sizeof(LineInfo)));
        if (!p) throw std::bad_alloc();
        paragraph_->furtherLines = p;
        for (std::int32_t i = paragraph_->lineCount; i < n; ++i)
            p[i - 1] = LineInfo{};
    }
    paragraph_->lineCount = n;
}

std::int32_t TLinesList::Add(const LineInfo& line) {
    SetCount(paragraph_->lineCount + 1);
    *At(paragraph_->lineCount - 1) = line;
    return paragraph_->lineCount - 1;
}

void ResetToOneLine(ParagraphInfo& p) {
    TLinesList(&p).SetCount(1);
    const std::uint8_t style = p.line0.style;
    p.line0 = LineInfo{};
    p.line0.end = p.length;
    p.line0.style = style;
    p.laidOut = 0;
}

void FreeLinesAndEntries(ParagraphInfo& p) noexcept {
    std::free(p.furtherLines);
    p.furtherLines = nullptr;
    std::free(EntriesBlock(p));
    p.entries = nullptr;
    p.entryCount = 0;
}

std::int32_t EntryCapacity(const ParagraphInfo& p) noexcept {
    if (!p.entries) return 0;
    std::int32_t capacity;
    std::memcpy(&capacity, EntriesBlock(p), sizeof capacity);
    return capacity;
}

void ReserveEntries(ParagraphInfo& p, std::size_t need) {
    if (need <= static_cast<std::size_t>(EntryCapacity(p))) return;
    if (need > static_cast<std::size_t>(ParagraphInfo::kMaxEntries)) throw std::bad_alloc();
    ResizeEntries(p, static_cast<std::int32_t>(need));
}

void InsertEntryAt(ParagraphInfo& p, std::int32_t index, const AttrInfo& state,
                   std::int32_t offset) {
    if (index < 0 || index > p.entryCount) ThrowListIndexError();
    const std::int32_t n = p.entryCount + 1;
    if (n > EntryCapacity(p))
        ReserveEntries(p, std::max<std::size_t>(
                              n, std::min<std::size_t>(n + n / 64, ParagraphInfo::kMaxEntries)));
    std::memmove(p.entries + index + 1, p.entries + index,
                 static_cast<std::size_t>(p.entryCount - index) * sizeof(AttrInfo));
    p.entries[index] = state;
    p.entries[index].offsetOrRefs = static_cast<std::uint32_t>(offset);
    p.entryCount = n;
}

void RemoveEntryAt(ParagraphInfo& p, std::int32_t index, std::int32_t offset) {
    if (index < 0 || index >= p.entryCount ||
        p.entries[index].offsetOrRefs != static_cast<std::uint32_t>(offset))
        throw Error(texts::kInternalError);
    std::memmove(p.entries + index, p.entries + index + 1,
                 static_cast<std::size_t>(p.entryCount - index - 1) * sizeof(AttrInfo));
    --p.entryCount;
}

void TrimEntries(ParagraphInfo& p) {
    if (EntryCapacity(p) <= p.entryCount) return;
    if (p.entryCount == 0) {
        std::free(EntriesBlock(p));
        p.entries = nullptr;
    } else {
        try {
            ResizeEntries(p, p.entryCount);
        } catch (const std::bad_alloc&) {
            // Keeping the larger array is as good.
        }
    }
}

AttrInfo* NewStartContext(const AttrInfo* copyOf) {
    auto* context = static_cast<AttrInfo*>(std::malloc(sizeof(AttrInfo)));
    if (!context) throw std::bad_alloc();
    *context = copyOf ? *copyOf : AttrInfo{};
    context->offsetOrRefs = 1;
    return context;
}

void ReleaseContext(AttrInfo* context) noexcept {
    if (context && --context->offsetOrRefs == 0) std::free(context);
}

} // namespace lorvane
