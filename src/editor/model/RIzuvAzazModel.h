#pragma once
// The Qt-free model of one editor control: the text store with its totals
// and navigators, layout state, selection, undo list, options, and the
// model side of the control's public operations. The widget owns one (or
// derives from it) and supplies the TextDevice and the host.
#include "editor/model/EditorHost.h"
#include "editor/model/HighlightPasses.h"
#include "editor/model/Navigator.h"
#include "editor/model/TextDevice.h"
#include "editor/model/TextStore.h"
#include "editor/model/UndoList.h"
#include "editor/model/UpperCase.h"

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lorvane {

class TStream;
class TParaStrings;
class TLinesStrings;

enum TUpdateMode : std::uint8_t { umImmediate, umOnNeed, umBackground };
enum class TLineSeek : std::uint8_t { Nearby, Exact };
enum TLineBreak : std::uint8_t { pbCRLF, pbLFCR, pbCR, pbLF };
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

enum RIzuvAzazOption : std::uint16_t {
    rzoKeepColumnPos = 1 << 0,
    rzoPutExtraSpaces = 1 << 1,
    rzoWrapCaret = 1 << 2,
    rzoInsertKeyActive = 1 << 3,
    rzoWideOverwriteCaret = 1 << 4,
    rzoLargeWordSelect = 1 << 5,
    rzoAutoScrollBars = 1 << 6,
    rzoNoDragnDrop = 1 << 7,
    rzoAutoIndent = 1 << 8,
    rzoBackIndent = 1 << 9,
    rzoWindowsSelColors = 1 << 10,
    rzoFullLineSelect = 1 << 11,
    rzoDiscardTrailingSpaces = 1 << 12,
    rzoNoFineScroll = 1 << 13,
    rzoNoLineSelection = 1 << 14,
    rzoBlockSelection = 1 << 15,
};
using RIzuvAzazOptions = std::uint16_t;

// What kind of change a Replace is; the formatting-code commands and the
// removal of code pairs skip the style balance.
enum class ReplaceKind : std::uint8_t { Normal, FormatCommand, FormatCommandEmpty, PairRemoval };

class RIzuvAzazModel : public TTextStore {
public:
    RIzuvAzazModel();
    ~RIzuvAzazModel() override;

    // ---- Attachments ----
    void SetDevice(TextDevice* device) noexcept { device_ = device; }
    TextDevice* Device() const noexcept { return device_; }
    void SetHost(TEditorHost* host) noexcept { host_ = host; }
    TEditorHost* Host() const noexcept { return host_; }
    void SetHighlightPasses(THighlightPasses* passes) noexcept { passes_ = passes; }

    // ---- Events ----
    std::function<void()> OnChange;
    std::function<void()> OnProgress;
    std::function<void(std::int32_t start, std::int32_t stop)> OnParse;
    std::function<void(std::string& text)> OnBeforeChange;

    // ---- Options ----
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool on);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment a);
    std::int32_t LeftMargin() const noexcept { return leftMargin_; }
    void SetLeftMargin(std::int32_t v);
    std::int32_t RightMargin() const noexcept { return rightMargin_; }
    void SetRightMargin(std::int32_t v);
    std::int32_t TabStops() const noexcept { return tabStops_; }
    void SetTabStops(std::int32_t v);
    void SetStaticFormat(bool on);
    bool StripPairedCodes() const noexcept { return stripPairedCodes_; }
    void SetStripPairedCodes(bool on) noexcept { stripPairedCodes_ = on; }
    RIzuvAzazOptions Options() const noexcept { return options_; }
    void SetOptions(RIzuvAzazOptions options);
    bool HasOption(RIzuvAzazOption o) const noexcept { return (options_ & o) != 0; }
    char NullReplacement() const noexcept { return nullReplacement_; }
    void SetNullReplacement(char c) noexcept { nullReplacement_ = c; }
    TLineBreak LineBreak() const noexcept { return lineBreak_; }
    void SetLineBreak(TLineBreak b) noexcept { lineBreak_ = b; }
    TUpdateMode UpdateMode() const noexcept { return updateMode_; }
    void SetUpdateMode(TUpdateMode mode);
    std::string Separators() const;
    void SetSeparators(std::string_view chars);
    bool IsSeparator(unsigned char c) const noexcept { return separators_[c]; }
    TrzUpperCase UpperCaseType() const noexcept { return upperCaseType_; }
    void SetUpperCaseType(TrzUpperCase t) noexcept { upperCaseType_ = t; }
    bool ApplyKeyWords() const noexcept { return applyKeyWords_; }
    void SetApplyKeyWords(bool on) noexcept { applyKeyWords_ = on; }
    bool ApplyStartStopKeys() const noexcept { return applyStartStopKeys_; }
    void SetApplyStartStopKeys(bool on) noexcept { applyStartStopKeys_ = on; }
    // The style bits of the control's font (bold, italic, underline, strike-out).
    void SetBaseFontStyle(std::uint8_t style);
    bool Modified() const noexcept { return modified_; }
    void SetModified(bool on) noexcept { modified_ = on; }
    // A font or metrics change of the widget: every paragraph is laid out again.
    void FontChanged() { RelayoutAll(); }

    // ---- Selection ----
    std::int32_t SelStart() const noexcept { return Caret().Position(); }
    void SetSelStart(std::int32_t pos);
    std::int32_t SelLength() const noexcept { return selLength_; }
    void SetSelLength(std::int32_t length);
    std::string SelText();
    void SetSelText(std::string_view text) { Replace(text); }
    TNavigator& SelStartNavigator() noexcept { return selStart_; }
    TNavigator& SelStopNavigator() noexcept { return selStop_; }
    TNavigator& Caret() noexcept { return caretAtStop_ ? selStop_ : selStart_; }
    const TNavigator& Caret() const noexcept { return caretAtStop_ ? selStop_ : selStart_; }
    TNavigator& TopLineNavigator() noexcept { return topLine_; }
    void SelectAll();
    std::int32_t CaretParagraph() { return Caret().ParagraphIndex(); }
    std::int32_t CaretLine();
    std::uint8_t CaretStyle() { return Caret().StaticStyle(); }

    // ---- Editing ----
    // The one editing primitive: replaces the selection by `text`, in which
    // CR and CR LF are line breaks (a lone LF is an ordinary character).
    void Replace(std::string_view text, ReplaceKind kind = ReplaceKind::Normal);
    void Undo();
    void Redo();
    bool CanUndo() const noexcept { return undo_.CanUndo(); }
    bool CanRedo() const noexcept { return undo_.CanRedo(); }
    void ClearUndo() noexcept { undo_.Clear(); }
    std::int32_t UndoMaxLevel() const noexcept { return undo_.MaxLevel(); }
    void SetUndoMaxLevel(std::int32_t v) { undo_.SetMaxLevel(v); }
    std::int32_t UndoMaxSpace() const noexcept { return undo_.MaxSpace(); }
    void SetUndoMaxSpace(std::int32_t v) { undo_.SetMaxSpace(v); }
    const TUndoList& UndoRecords() const noexcept { return undo_; }
    // Marks the undo record just made as one step with the one before
    // (a move by drag and drop).
    void GroupLastUndo() noexcept;
    // Makes every undo record made since the list had `level` records one
    // step (a column block changed line by line).
    void GroupUndoSince(std::int32_t level) noexcept;
    void EndTypingGroup() noexcept { undo_.groupEnded = true; }
    // Block deletion of the widget's column selection; set by the widget.
    std::function<bool(std::string_view& text)> BlockReplace;

    // ---- Layout ----
    // Lays out paragraph `index` from display line firstLine; unless whole,
    // it stops where a new line ends like an old one after rewrapThrough.
    std::int32_t LayoutParagraph(std::int32_t index, std::int32_t firstLine, bool whole,
                                 bool selectFont = true, std::int32_t rewrapThrough = 0);
    void LayoutRange(std::int32_t from, std::int32_t to, bool force);
    // `fresh`: no paragraph has been laid out yet (a text just loaded), so
    // there are no marks to clear.
    void RelayoutAll(bool fresh = false);
    void BackgroundSlice();
    void ScanStartStopUpTo(std::int32_t index);
    // The same in slices, reporting progress between them (with the text
    // whole and nothing laid out, so a caller's progress may let events run):
    // after a change at the top of a big text, the scan to a far paragraph
    // takes a while.
    void ScanStartStopInSlices(std::int32_t index);
    void BeginUpdate() noexcept { ++updateCount_; }
    void EndUpdate();
    std::int32_t UpdateCount() const noexcept { return updateCount_; }
    void RefreshAfterChanges();
    std::int32_t LayoutRangeStart() const noexcept { return layoutFrom_; }
    std::int32_t LayoutRangeEnd() const noexcept { return layoutTo_; }
    bool BackgroundJobPending() const noexcept { return jobPending_; }
    std::int32_t ProgressPercent() const noexcept { return progress_; }
    std::int32_t WidestLine() const noexcept { return widest_; }
    std::int32_t WidestParagraph() const noexcept { return widestParagraph_; }
    std::int32_t StartStopFrontier() const noexcept { return startStopFrontier_; }
    // The highlighting handed a changed start state on to paragraph `index`:
    // it is scanned and laid out again, and the change may roll on from it.
    void StartStateChanged(std::int32_t index) noexcept;
    // The highlighting was discarded: every paragraph is scanned again.
    void ResetStartStopFrontier() noexcept { startStopFrontier_ = -1; }
    void FinishLayoutRange();
    std::int32_t SpaceWidth() const noexcept { return spaceWidth_; }

    // ---- Views and search ----
    TParaStrings& Paragraphs() noexcept { return *paragraphsView_; }
    TLinesStrings& Lines() noexcept { return *linesView_; }
    void SetParagraph(std::int32_t index, std::string_view text);
    std::string GetTextRange(std::int32_t from, std::int32_t to);
    std::string Text() { return GetTextRange(0, TextLength()); }
    void GoToParagraph(std::int32_t index);
    void GoToDisplayLine(std::int32_t line);
    std::string DisplayLineText(std::int32_t line);
    // Moves a navigator to display line `line`, laying out on demand. Exact
    // numbers count every line before as laid out, which lays out all the
    // text before a far line; nearby ones take the pending paragraphs before
    // the line as they stand, for moves relative to what is shown.
    void SeekDisplayLine(TNavigator& nav, std::int32_t line, TLineSeek seek = TLineSeek::Nearby);
    bool FindText(std::string_view text, bool forward, bool matchCase, bool wholeWord);

    // ---- Streams ----
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    void SetText(std::string_view text);
    void Clear() { SetText({}); }
    // Every byte b of the text becomes table[b], where it lies: no copy of
    // the text is made. The result is what SetText of the exchanged text
    // gives (undo cleared, selection gone, all laid out again). Only bytes
    // from 0x80 up may change, so breaks, blanks, format codes and the end
    // zero stay; a table that changes any other byte is refused (false).
    bool ExchangeBytes(const std::array<unsigned char, 256>& table);
    // Appends the new bytes of one paragraph (never a line break) to `out`.
    using ParagraphConverter = void (*)(std::string_view paragraph, std::string& out);
    // Every paragraph rewritten by `convert`, as one undo step. Paragraphs
    // that come out the same are not touched; a navigator in one that
    // changed goes to its start, any other keeps its place in its
    // paragraph. The selection collapses to the caret. False (and nothing
    // done) when no paragraph changes.
    bool ConvertParagraphs(ParagraphConverter convert);
    void SaveLayout(TStream& stream);
    void LoadLayout(TStream& stream, bool relayout);
    void WriteStringsProperty(TStream& stream);
    void ReadStringsProperty(TStream& stream);
    bool HasStringsProperty() const noexcept { return TextLength() >= 1; }

    // ---- Checks ----
    // Recomputes every cached total from scratch and raises "Error 1" ...
    // "Error 6 in <id>" at the first mismatch.
    void CheckConsistency(const std::string& id = "RIzuvAzaz") const;

    void ClearStore() override;

private:
    friend class RIzuvAzazStrings;
    friend class TParaStrings;
    friend class TLinesStrings;

    void Splice(std::int32_t start, std::int32_t stop, std::string_view text, std::int32_t& caret);
    void ShiftNavigators(std::int32_t start, std::int32_t stop, std::int32_t delta,
                         std::int32_t paragraphDelta, std::int32_t endParagraph,
                         std::int32_t startParagraph);
    void CleanCodePairs(std::int32_t firstParagraph, std::int32_t lastParagraph);
    void UndoStep();
    void RedoStep();
    void NoteChange(std::int32_t firstLine, std::int32_t firstParagraph,
                    std::int32_t lastParagraph);
    void FireProgress(std::int32_t percent);
    std::uint8_t EffectiveStyle(std::uint8_t staticStyle, const AttrInfo& state) const noexcept;
    std::int32_t AvailableWidth() const noexcept;
    void TrackWidest(const LineInfo& line, std::int32_t paragraph) noexcept;
    void FinishMovedSelection();
    std::int32_t CarryStaticStyle(std::int32_t first, std::int32_t last);
    void AfterLoad(std::int32_t oldLineCount, bool relayout = true, bool fresh = false);
    // After a change to the whole text: inside an update bracket the
    // change is noted for its end, otherwise everything is laid out again
    // and the host hears of it.
    void RefreshWholeText(std::int32_t oldLineCount, bool relayout = true, bool fresh = false);

    TextDevice* device_ = nullptr;
    TEditorHost* host_ = nullptr;
    THighlightPasses* passes_ = nullptr;

    bool wordWrap_ = true;
    TAlignment alignment_ = taLeftJustify;
    std::int32_t leftMargin_ = 8;
    std::int32_t rightMargin_ = 8;
    std::int32_t tabStops_ = 8;
    bool stripPairedCodes_ = true;
    RIzuvAzazOptions options_ = rzoWrapCaret | rzoInsertKeyActive | rzoWideOverwriteCaret |
                                rzoAutoScrollBars | rzoBlockSelection;
    char nullReplacement_ = 0;
    TLineBreak lineBreak_ = pbCRLF;
    TUpdateMode updateMode_ = umBackground;
    std::bitset<256> separators_;
    TrzUpperCase upperCaseType_ = rzuAscii;
    bool applyKeyWords_ = true;
    bool applyStartStopKeys_ = true;
    std::uint8_t baseFontStyle_ = 0;
    bool modified_ = false;

    TNavigator selStart_{this};
    TNavigator selStop_{this};
    TNavigator topLine_{this};
    TNavigator work_{this};
    TNavigator text_{this};
    bool caretAtStop_ = false;
    std::int32_t selLength_ = 0;

    std::int32_t layoutFrom_ = 0;
    std::int32_t layoutTo_ = -1;
    bool jobPending_ = false;
    std::int32_t widest_ = 0;
    std::int32_t widestParagraph_ = -1;
    std::int32_t progress_ = -1;
    std::chrono::steady_clock::time_point lastSliceReport_{};
    std::int32_t updateCount_ = 0;
    std::int32_t startStopFrontier_ = -1;
    std::int32_t spaceWidth_ = 0;
    std::int32_t changedLine_ = -1;
    std::int32_t changedFirst_ = -1;
    std::int32_t changedLast_ = -1;
    std::int32_t lineDelta_ = 0;
    bool editInPlace_ = false;
    bool carryStyle_ = false;           // an edit since the last refresh may move start styles
    std::int32_t firstRebuiltLine_ = 0; // of the last LayoutParagraph
    std::int32_t dirtyLine_ = 0;        // last line of the in-place edit that must be wrapped again

    TUndoList undo_;
    bool replaying_ = false;
    std::int32_t replaySlot_ = -1;
    bool replayGrouped_ = false;

    std::unique_ptr<TParaStrings> paragraphsView_;
    std::unique_ptr<TLinesStrings> linesView_;
};

} // namespace lorvane
