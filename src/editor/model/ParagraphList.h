#pragma once
// The paragraph list, the display-line view of one paragraph, and the
// operations on a paragraph's attribute array and shared start contexts.
#include "editor/model/DynArray.h"
#include "editor/model/TextRecords.h"

namespace lorvane {

class TParagraphsList : public TDynArray2 {
public:
    // One record per line of the text: no rounding beyond the record's own
    // alignment, so none of its bytes go to waste.
    TParagraphsList() : TDynArray2(sizeof(ParagraphInfo), alignof(ParagraphInfo)) {}
    ParagraphInfo* Item(std::int32_t index) const {
        return static_cast<ParagraphInfo*>(Get(index));
    }
    ParagraphInfo* ItemAt(std::int32_t index) const noexcept {
        return static_cast<ParagraphInfo*>(At(index));
    }
};

// A view of the display lines of one paragraph: line 0 lives in the record,
// lines 1 .. n-1 in its further-lines array.
class TLinesList {
public:
    TLinesList() = default;
    explicit TLinesList(ParagraphInfo* paragraph) : paragraph_(paragraph) {}

    void SetParagraph(ParagraphInfo* paragraph) noexcept { paragraph_ = paragraph; }
    ParagraphInfo* Paragraph() const noexcept { return paragraph_; }

    std::int32_t Count() const noexcept { return paragraph_->lineCount; }
    LineInfo* Get(std::int32_t index) const;
    LineInfo* At(std::int32_t index) const noexcept {
        return index == 0 ? &paragraph_->line0 : paragraph_->furtherLines + (index - 1);
    }
    void SetCount(std::int32_t n);
    std::int32_t Add(const LineInfo& line);
    void Read(std::int32_t index, LineInfo& line) const { line = *Get(index); }
    void Write(std::int32_t index, const LineInfo& line) { *Get(index) = line; }

private:
    ParagraphInfo* paragraph_ = nullptr;
};

// Back to one display line over the whole text, awaiting layout; the
// line keeps the static style it starts with.
void ResetToOneLine(ParagraphInfo& p);

// Frees the further lines and the attribute array of a paragraph record
// (not its text, not its start context).
void FreeLinesAndEntries(ParagraphInfo& p) noexcept;

// Attribute entries: insertion grows the array by 1/64 (at least one entry).
void InsertEntryAt(ParagraphInfo& p, std::int32_t index, const AttrInfo& state,
                   std::int32_t offset);
// Removes the entry at index, which must begin at offset ("Internal DudoDaze error").
void RemoveEntryAt(ParagraphInfo& p, std::int32_t index, std::int32_t offset);
// Shrinks the attribute array to exactly its count.
void TrimEntries(ParagraphInfo& p);
// The entries the attribute array has room for (kept with the array, not
// in the record).
std::int32_t EntryCapacity(const ParagraphInfo& p) noexcept;
// Makes room for `need` entries in all (more than kMaxEntries: out of memory).
void ReserveEntries(ParagraphInfo& p, std::size_t need);

// Shared, reference-counted start contexts.
AttrInfo* NewStartContext(const AttrInfo* copyOf);
inline void RetainContext(AttrInfo* context) noexcept {
    ++context->offsetOrRefs;
}
void ReleaseContext(AttrInfo* context) noexcept;

} // namespace lorvane
