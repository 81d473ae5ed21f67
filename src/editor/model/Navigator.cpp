#include "editor/model/Navigator.h"

#include "editor/model/TextStore.h"

#include <cstring>

namespace lorvane {

TNavigator::TNavigator(TTextStore* memo) : memo_(memo) {
    if (memo_) memo_->AttachNavigator(this);
}

TNavigator::~TNavigator() {
    if (memo_) memo_->DetachNavigator(this);
    if (OnDestroy) OnDestroy(this);
}

void TNavigator::Invalidate() noexcept {
    paragraph_ = nullptr;
    index_ = -1;
    offset_ = kUnset;
    attrIndex_ = kUnset;
    lineIndex_ = kUnset;
}

void TNavigator::Assign(const TNavigator& other) noexcept {
    position_ = other.position_;
    paragraph_ = other.paragraph_;
    index_ = other.index_;
    lineIndex_ = other.lineIndex_;
    offset_ = other.offset_;
    attrIndex_ = other.attrIndex_;
    lines_.SetParagraph(paragraph_);
}

void TNavigator::Bind(std::int32_t index) {
    paragraph_ = memo_->ParagraphAt(index);
    index_ = index;
    offset_ = position_ - memo_->StartAt(index);
    lines_.SetParagraph(paragraph_);
}

void TNavigator::Resolve() {
    attrIndex_ = kUnset;
    lineIndex_ = kUnset;
    const std::int32_t last = memo_->ParagraphCount() - 1;
    const std::int32_t total = memo_->TextLength();
    // A proportional guess, computed in 64 bits so that big texts cannot
    // overflow it; the walk below corrects it.
    std::int64_t guess = 0;
    if (total > 0 && position_ > 0) guess = static_cast<std::int64_t>(last) * position_ / total;
    std::int32_t i = static_cast<std::int32_t>(guess < 0 ? 0 : (guess > last ? last : guess));
    if (memo_->StartAt(i) <= position_) {
        while (i < last) {
            const ParagraphInfo* p = memo_->ParagraphAt(i);
            if (memo_->StartAt(i) + p->length + 1 >= position_) break;
            ++i;
        }
    } else {
        while (i > 0 && memo_->StartAt(i) > position_)
            --i;
    }
    Bind(i);
}

void TNavigator::SetPosition(std::int32_t pos) {
    if (paragraph_) {
        const std::int32_t start = memo_->StartAt(index_);
        const std::int32_t end = start + paragraph_->length + 1;
        if (pos >= position_ && pos <= end) {
            offset_ = pos - start;
            if (attrIndex_ != kUnset)
                while (attrIndex_ < paragraph_->entryCount &&
                       static_cast<std::int32_t>(paragraph_->entries[attrIndex_].offsetOrRefs) <
                           offset_)
                    ++attrIndex_;
            if (lineIndex_ != kUnset)
                while (lineIndex_ < paragraph_->lineCount - 1 &&
                       lines_.At(lineIndex_)->end <= offset_)
                    ++lineIndex_;
        } else {
            attrIndex_ = kUnset;
            lineIndex_ = kUnset;
            if (pos < start || pos > end) {
                paragraph_ = nullptr;
                index_ = -1;
                offset_ = kUnset;
            } else {
                offset_ = pos - start;
            }
        }
    }
    position_ = pos;
}

std::int32_t TNavigator::ParagraphIndex() {
    if (!paragraph_) Resolve();
    return index_;
}

ParagraphInfo* TNavigator::Paragraph() {
    if (!paragraph_) Resolve();
    return paragraph_;
}

std::int32_t TNavigator::ParagraphOffset() {
    if (!paragraph_) Resolve();
    if (offset_ == kUnset) offset_ = position_ - memo_->StartAt(index_);
    return offset_;
}

std::int32_t TNavigator::LineInParagraph() {
    if (lineIndex_ == kUnset) {
        const std::int32_t offset = ParagraphOffset();
        std::int32_t k = 0;
        while (k < paragraph_->lineCount - 1 && lines_.At(k)->end <= offset)
            ++k;
        lineIndex_ = k;
    }
    return lineIndex_;
}

std::int32_t TNavigator::LineNumber() {
    const std::int32_t k = LineInParagraph();
    return memo_->FirstLineAt(index_) + k;
}

const LineInfo* TNavigator::SetLineNumber(std::int32_t n) {
    const std::int32_t lines = memo_->LineCount();
    const std::int32_t count = memo_->ParagraphCount();
    if (n > lines - 1) n = lines - 1;
    if (n < 0) n = 0;
    std::int64_t guess = lines > 0 ? static_cast<std::int64_t>(n) * count / lines : 0;
    std::int32_t i =
        static_cast<std::int32_t>(guess < 0 ? 0 : (guess > count - 1 ? count - 1 : guess));
    // The proportional guess is exact for texts of even line counts; where
    // wrapped paragraphs make it drift (by as much as the extra lines before
    // the target), a binary search over the paragraphs' first lines takes
    // over, so reading lines one after another stays linear.
    const auto below = [&](std::int32_t p) { return n < memo_->FirstLineAt(p); };
    const auto beyond = [&](std::int32_t p) {
        return n >= memo_->FirstLineAt(p) + memo_->ParagraphAt(p)->lineCount;
    };
    int steps = 0;
    while (i > 0 && below(i) && ++steps < 16)
        --i;
    while (i < count - 1 && beyond(i) && ++steps < 16)
        ++i;
    if ((i > 0 && below(i)) || (i < count - 1 && beyond(i))) {
        std::int32_t lo = 0, hi = count - 1; // the answer lies in [lo, hi]
        while (lo < hi) {
            const std::int32_t mid = lo + (hi - lo + 1) / 2;
            if (below(mid))
                hi = mid - 1;
            else
                lo = mid;
        }
        i = lo;
    }
    const std::int32_t start = memo_->StartAt(i);
    paragraph_ = memo_->ParagraphAt(i);
    index_ = i;
    lines_.SetParagraph(paragraph_);
    std::int32_t k = n - memo_->FirstLineAt(i);
    if (k < 0) k = 0;
    if (k > paragraph_->lineCount - 1) k = paragraph_->lineCount - 1;
    lineIndex_ = k;
    const LineInfo* line = lines_.At(k);
    offset_ = line->start;
    position_ = start + offset_;
    attrIndex_ = kUnset;
    return line;
}

std::int32_t TNavigator::Column() {
    const std::int32_t k = LineInParagraph();
    return offset_ - lines_.At(k)->start;
}

void TNavigator::SetColumn(std::int32_t column) {
    const std::int32_t k = LineInParagraph();
    const LineInfo* line = lines_.At(k);
    if (column < 0) column = 0;
    const std::int32_t width = line->end - line->start;
    const std::int32_t offset = line->start + (column < width ? column : width);
    const std::int32_t start = memo_->StartAt(index_);
    if (start + offset >= position_) {
        SetPosition(start + offset); // keeps the caches
    } else {
        position_ = start + offset;
        offset_ = offset;
        attrIndex_ = kUnset;
    }
    lineIndex_ = k;
}

TLinesList& TNavigator::Lines() {
    if (!paragraph_) Resolve();
    return lines_;
}

unsigned char TNavigator::CharAt() {
    const std::int32_t offset = ParagraphOffset();
    if (offset < paragraph_->length) return static_cast<unsigned char>(paragraph_->text[offset]);
    return offset == paragraph_->length ? 13 : 10;
}

void TNavigator::GetText(char* buffer, std::int32_t n) {
    std::int32_t done = 0;
    std::int32_t i = ParagraphIndex();
    std::int32_t offset = ParagraphOffset();
    const std::int32_t count = memo_->ParagraphCount();
    while (done < n && i < count) {
        const ParagraphInfo* p = memo_->ParagraphAt(i);
        if (offset < p->length) {
            const std::int32_t take = std::min(n - done, p->length - offset);
            std::memcpy(buffer + done, p->text + offset, static_cast<std::size_t>(take));
            done += take;
            offset += take;
            continue;
        }
        if (i == count - 1) break; // the last paragraph has no break
        if (offset == p->length && done < n) {
            buffer[done++] = '\r';
            ++offset;
        }
        if (offset == p->length + 1 && done < n) {
            buffer[done++] = '\n';
            ++i;
            offset = 0;
        }
    }
    buffer[done] = 0;
}

std::int32_t TNavigator::AttributeIndex() {
    if (attrIndex_ == kUnset) {
        const std::int32_t offset = ParagraphOffset();
        std::int32_t k = 0;
        while (k < paragraph_->entryCount &&
               static_cast<std::int32_t>(paragraph_->entries[k].offsetOrRefs) < offset)
            ++k;
        attrIndex_ = k;
    }
    return attrIndex_;
}

const AttrInfo& TNavigator::CurrentState() {
    const std::int32_t k = AttributeIndex();
    return k > 0 ? paragraph_->entries[k - 1] : *paragraph_->startContext;
}

std::uint8_t TNavigator::StaticStyle() {
    if (!memo_->StaticFormat()) return 0;
    const std::int32_t k = LineInParagraph();
    const LineInfo* line = lines_.At(k);
    std::uint8_t style = line->style;
    const std::int32_t end = offset_ < paragraph_->length ? offset_ : paragraph_->length;
    for (std::int32_t i = line->start; i < end; ++i)
        style ^= StyleBitOfCode(static_cast<unsigned char>(paragraph_->text[i]));
    return style;
}

int TNavigator::StartStopLevel(const AttrInfo& state) noexcept {
    return (state.flags & 0xC0) == 0xC0 ? static_cast<int>(state.level) : -1;
}

bool TNavigator::NextEntry(std::int32_t limit) {
    std::int32_t i = ParagraphIndex();
    std::int32_t k = AttributeIndex();
    const std::int32_t count = memo_->ParagraphCount();
    while (i < count) {
        const ParagraphInfo* p = memo_->ParagraphAt(i);
        const std::int32_t start = memo_->StartAt(i);
        if (start > limit) return false;
        if (k < p->entryCount) {
            const std::int32_t pos = start + static_cast<std::int32_t>(p->entries[k].offsetOrRefs);
            if (pos > limit) return false;
            position_ = pos;
            Bind(i);
            attrIndex_ = k;
            lineIndex_ = kUnset;
            return true;
        }
        ++i;
        k = 0;
    }
    return false;
}

bool TNavigator::PrevEntry(std::int32_t limit) {
    std::int32_t i = ParagraphIndex();
    std::int32_t k = AttributeIndex() - 1;
    while (i >= 0) {
        const ParagraphInfo* p = memo_->ParagraphAt(i);
        const std::int32_t start = memo_->StartAt(i);
        if (k >= 0 && k < p->entryCount) {
            const std::int32_t pos = start + static_cast<std::int32_t>(p->entries[k].offsetOrRefs);
            if (pos < limit) return false;
            position_ = pos;
            Bind(i);
            attrIndex_ = k;
            lineIndex_ = kUnset;
            return true;
        }
        if (start <= limit || i == 0) return false;
        --i;
        k = memo_->ParagraphAt(i)->entryCount - 1;
    }
    return false;
}

void TNavigator::SkipEntriesHere() {
    const std::int32_t offset = ParagraphOffset();
    std::int32_t k = AttributeIndex();
    while (k < paragraph_->entryCount &&
           static_cast<std::int32_t>(paragraph_->entries[k].offsetOrRefs) == offset)
        ++k;
    attrIndex_ = k;
}

void TNavigator::InsertEntry(const AttrInfo& state) {
    const std::int32_t k = AttributeIndex();
    InsertEntryAt(*paragraph_, k, state, offset_);
    attrIndex_ = k + 1;
}

void TNavigator::RemoveEntry() {
    const std::int32_t k = AttributeIndex();
    RemoveEntryAt(*paragraph_, k, offset_);
    lineIndex_ = kUnset;
}

std::int32_t ColumnToOffset(const ParagraphInfo& paragraph, std::int32_t column,
                            std::int32_t tabSize, bool codesOn) noexcept {
    std::int32_t c = 0, offset = 0;
    if (tabSize < 1) tabSize = 1;
    while (offset < paragraph.length && c < column) {
        const auto ch = static_cast<unsigned char>(paragraph.text[offset]);
        std::int32_t next = c;
        if (ch == 9)
            next = tabSize * (c / tabSize + 1);
        else if (!(codesOn && IsFormatCode(ch)))
            next = c + 1;
        if (next > column) break;
        c = next;
        ++offset;
    }
    return offset;
}

std::int32_t ColumnExcess(const ParagraphInfo& paragraph, std::int32_t column, std::int32_t tabSize,
                          bool codesOn) noexcept {
    const std::int32_t offset = ColumnToOffset(paragraph, column, tabSize, codesOn);
    if (tabSize < 1) tabSize = 1;
    std::int32_t c = 0;
    for (std::int32_t i = 0; i < offset; ++i) {
        const auto ch = static_cast<unsigned char>(paragraph.text[i]);
        if (ch == 9)
            c = tabSize * (c / tabSize + 1);
        else if (!(codesOn && IsFormatCode(ch)))
            ++c;
    }
    return column - c;
}

} // namespace lorvane
