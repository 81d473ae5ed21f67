#pragma once
// A position in the text with cached paragraph, offset, display line and
// attribute entry. Forward moves inside one paragraph keep the caches, so
// scanning passes pay no searches; the store shifts every live navigator
// after each edit.
#include "editor/model/ParagraphList.h"

#include <climits>
#include <cstdint>
#include <functional>

namespace lorvane {

class TTextStore;

class TNavigator {
public:
    static constexpr std::int32_t kUnset = INT_MAX;

    // A navigator with an owner registers itself there; without one it is
    // for private use and must not outlive the store it reads.
    explicit TNavigator(TTextStore* memo);
    ~TNavigator();
    TNavigator(const TNavigator&) = delete;
    TNavigator& operator=(const TNavigator&) = delete;

    std::function<void(TNavigator*)> OnDestroy;

    TTextStore* Memo() const noexcept { return memo_; }
    void Invalidate() noexcept;
    void Assign(const TNavigator& other) noexcept;

    std::int32_t Position() const noexcept { return position_; }
    void SetPosition(std::int32_t pos);

    std::int32_t ParagraphIndex();
    ParagraphInfo* Paragraph();
    std::int32_t ParagraphOffset();
    std::int32_t LineInParagraph();
    std::int32_t LineNumber();
    const LineInfo* SetLineNumber(std::int32_t n);
    std::int32_t Column();
    void SetColumn(std::int32_t column);
    TLinesList& Lines();
    unsigned char CharAt();
    // n characters from the position and a zero byte; breaks come out as CR LF.
    void GetText(char* buffer, std::int32_t n);
    std::int32_t AttributeIndex();
    const AttrInfo& CurrentState();
    void CopyState(AttrInfo& out) { out = CurrentState(); }
    std::uint8_t StaticStyle();
    static int StartStopLevel(const AttrInfo& state) noexcept;
    bool NextEntry(std::int32_t limit);
    bool PrevEntry(std::int32_t limit);
    void SkipEntriesHere();
    void InsertEntry(const AttrInfo& state);
    void RemoveEntry();

    // Cache state, for the store's edit shifting and for tests.
    bool ParagraphResolved() const noexcept { return paragraph_ != nullptr; }
    std::int32_t CachedLineIndex() const noexcept { return lineIndex_; }
    std::int32_t CachedAttributeIndex() const noexcept { return attrIndex_; }
    std::int32_t CachedParagraphIndex() const noexcept { return index_; }

private:
    friend class TTextStore;
    friend class RIzuvAzazModel;

    void Resolve();
    void Bind(std::int32_t index);

    TTextStore* memo_;
    std::int32_t position_ = 0;
    ParagraphInfo* paragraph_ = nullptr;
    std::int32_t index_ = -1;
    std::int32_t offset_ = kUnset;
    std::int32_t attrIndex_ = kUnset;
    std::int32_t lineIndex_ = kUnset;
    TLinesList lines_;
};

// Column arithmetic on one paragraph's text, with tabs expanded to tabSize
// columns and, when codesOn, the static format codes taking no column.
std::int32_t ColumnToOffset(const ParagraphInfo& paragraph, std::int32_t column,
                            std::int32_t tabSize, bool codesOn) noexcept;
std::int32_t ColumnExcess(const ParagraphInfo& paragraph, std::int32_t column, std::int32_t tabSize,
                          bool codesOn) noexcept;

} // namespace lorvane
