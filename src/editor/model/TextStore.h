#pragma once
// The text store of one control: the paragraph list, its totals, the text
// arena and the registry of live navigators.
//
// Paragraph starts and first display lines of later paragraphs are shifted
// lazily: each field keeps one pending delta that applies from a paragraph
// index onward, so an edit near the top of a big text does not walk every
// later record. Every read goes through StartAt / FirstLineAt and so always
// sees the right value.
#include "editor/model/ParagraphList.h"
#include "editor/model/TextArena.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lorvane {

class TNavigator;

class TTextStore {
public:
    static constexpr std::int32_t kMaxParagraphLength = 2147483547;

    TTextStore();
    virtual ~TTextStore();
    TTextStore(const TTextStore&) = delete;
    TTextStore& operator=(const TTextStore&) = delete;

    std::int32_t ParagraphCount() const noexcept { return paragraphs_.Count(); }
    ParagraphInfo* Paragraph(std::int32_t index) const { return paragraphs_.Item(index); }
    ParagraphInfo* ParagraphAt(std::int32_t index) const noexcept {
        return paragraphs_.ItemAt(index);
    }
    std::string ParagraphText(std::int32_t index) const;
    std::unique_ptr<char[]> ParagraphTextCopy(std::int32_t index) const;
    std::int32_t ParagraphStart(std::int32_t index) const;

    std::int32_t StartAt(std::int32_t i) const noexcept {
        return ParagraphAt(i)->start + (i >= starts_.from ? starts_.delta : 0);
    }
    std::int32_t FirstLineAt(std::int32_t i) const noexcept {
        return ParagraphAt(i)->firstLine + (i >= lines_.from ? lines_.delta : 0);
    }
    void SetStartAt(std::int32_t i, std::int32_t v) noexcept {
        ParagraphAt(i)->start = v - (i >= starts_.from ? starts_.delta : 0);
    }
    void SetFirstLineAt(std::int32_t i, std::int32_t v) noexcept {
        ParagraphAt(i)->firstLine = v - (i >= lines_.from ? lines_.delta : 0);
    }
    // Adds delta to the start (first line) of every paragraph from `from` on.
    void ShiftStartsFrom(std::int32_t from, std::int32_t delta) noexcept {
        AddFrom(&ParagraphInfo::start, starts_, from, delta);
    }
    void ShiftFirstLinesFrom(std::int32_t from, std::int32_t delta) noexcept {
        AddFrom(&ParagraphInfo::firstLine, lines_, from, delta);
    }
    // Brings every stored value up to date (used before the records are
    // written out or handed to code that reads the fields directly).
    void SettleShifts() noexcept;

    // Index of the paragraph that holds position pos (0 .. text length).
    std::int32_t FindParagraph(std::int32_t pos) const noexcept;
    // Static style in force before character `offset` of paragraph i.
    std::uint8_t StyleAt(std::int32_t i, std::int32_t offset) const noexcept;

    std::int32_t TextLength() const noexcept { return textLength_; }
    std::int32_t LineCount() const noexcept { return lineCount_; }

    // Replaces the display lines [first, first + oldCount) of paragraph i by
    // `lines` and keeps the line totals and later first lines right.
    void ReplaceLines(std::int32_t i, std::int32_t first, std::int32_t oldCount,
                      const LineInfo* lines, std::int32_t newCount);

    void AttachNavigator(TNavigator* navigator);
    void DetachNavigator(TNavigator* navigator) noexcept;
    const std::vector<TNavigator*>& NavigatorList() const noexcept { return navigators_; }
    // Drops the attribute and line caches of navigators after fromPosition
    // whose paragraph is at most lastParagraph.
    void InvalidateLineCaches(std::int32_t fromPosition, std::int32_t lastParagraph) noexcept;

    bool StaticFormat() const noexcept { return staticFormat_; }
    TTextArena& Arena() noexcept { return arena_; }

    // Frees every paragraph and empties the list; the model resets its
    // selection, caches and undo list in its override.
    virtual void ClearStore();
    void MakeInitialParagraph();
    // Appends a paragraph while text is loaded in bulk: its text goes to the
    // arena (L + L/64 + 1 bytes, or exactly L + 1), it shares `context` and
    // gets one display line carrying `style`; the totals grow with it.
    ParagraphInfo* AppendParagraph(const char* text, std::int32_t length, std::uint8_t style,
                                   AttrInfo* context, bool exact = false);
    // Appends paragraphs whose texts already lie in `block` (an arena block)
    // where they were read: the byte after each text is overwritten with its
    // ending zero. The records are filled on up to `threads` threads.
    struct PlacedText {
        std::uint32_t from;
        std::int32_t length;
        std::uint8_t style;
    };
    void AppendPlaced(char* block, const std::vector<PlacedText>& texts, AttrInfo* context,
                      int threads);

protected:
    struct PendingShift {
        std::int32_t from = INT_MAX;
        std::int32_t delta = 0;
    };

    void AddFrom(std::int32_t ParagraphInfo::*field, PendingShift& s, std::int32_t from,
                 std::int32_t delta) noexcept;
    void Bake(std::int32_t ParagraphInfo::*field, std::int32_t from, std::int32_t to,
              std::int32_t delta) noexcept;
    // Opens n empty records at `at` / frees and closes [at, at + n); pending
    // shifts follow the records. Cached record pointers must be renewed after.
    void InsertRecords(std::int32_t at, std::int32_t n);
    void RemoveRecords(std::int32_t at, std::int32_t n);
    void FreeParagraph(ParagraphInfo& p) noexcept;
    // Sets a paragraph's text to `length` bytes from `text`, reusing its
    // buffer when it is our own and large enough.
    void SetParagraphBytes(ParagraphInfo& p, const char* text, std::int32_t length);
    // Replaces bytes [from, to) of the paragraph's text by `insert`, in place
    // when its buffer is our own and large enough.
    void SpliceText(ParagraphInfo& p, std::int32_t from, std::int32_t to, const char* insert,
                    std::int32_t insertLength);
    // Gives an empty record its initial values (one line, no entries).
    static void InitRecord(ParagraphInfo& p, AttrInfo* context) noexcept;

    TParagraphsList paragraphs_;
    TTextArena arena_;
    PendingShift starts_;
    PendingShift lines_;
    std::int32_t textLength_ = 0;
    std::int32_t lineCount_ = 0;
    bool staticFormat_ = true;
    std::vector<TNavigator*> navigators_;
};

} // namespace lorvane
