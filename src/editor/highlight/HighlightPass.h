#pragma once
// The control's highlighting passes: the start/stop scan that finds ranges
// (comments, strings) and carries their state from paragraph to paragraph,
// and the keyword pass that marks keywords inside what the scan allows.
// Both write attribute entries into the paragraphs of one model; layout,
// the background slices and Replace reach them through THighlightPasses.
//
// Each pass rebuilds whole paragraphs: the state at a paragraph's start and
// its text decide its entries completely, so an edit gives exactly what a
// fresh highlight of the same text would, and a changed end state rolls on
// only until a paragraph's stored start state matches again.
#include "editor/model/HighlightPasses.h"
#include "editor/highlight/Highlighter.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/KeywordMatcher.h"
#include "editor/model/Navigator.h"
#include "editor/highlight/StartStopList.h"
#include "editor/highlight/StartStopMatcher.h"
#include "editor/model/TextRecords.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace lorvane {

class RIzuvAzazModel;

// ---- Reading highlighting states ----

// Own start/stop entries sit on the state stack as index + 32768.
inline constexpr std::uint16_t kOwnKeyBase = 32768;

// The nesting level of a start/stop state, -1 outside every range.
int StateLevel(const AttrInfo& state) noexcept;
// Inside a range opened by one of the control's own start/stop keys.
bool InOwnRange(const AttrInfo& state) noexcept;
// The equality that stops propagation: the same kind of state and, inside
// ranges, the same level and the same stack up to it.
bool StatesEqual(const AttrInfo& a, const AttrInfo& b) noexcept;
// Every byte but the first word (offset or reference count).
bool StatesIdentical(const AttrInfo& a, const AttrInfo& b) noexcept;
// Whether a keyword may be highlighted where `state` is in force.
bool KeywordsAllowedIn(const AttrInfo& state, bool nesting) noexcept;

// The font style of a run: the static style toggled against the base font,
// unless a highlight is in force, which then decides alone (strike-out with
// highlight colours together stand for the special underline).
std::uint8_t EffectiveRunStyle(std::uint8_t staticStyle, const AttrInfo& state,
                               std::uint8_t baseFontStyle) noexcept;

// What painting and the mouse need of the state in force at a character.
struct HighlightAtPosition {
    std::uint8_t style = 0; // the state's flag byte
    std::uint32_t firstColour = 0;
    std::uint32_t secondColour = 0;
    std::int32_t contextNumber = 0;
    std::uint16_t cursor = 0;
    bool highlighted = false; // bit 7 of the flag byte
};

// The state in force at the character at `offset` of paragraph `p`: its
// last entry at or before the offset, else its start context.
const AttrInfo& StateAtOffset(const ParagraphInfo& p, std::int32_t offset) noexcept;

class THighlightPass final : public THighlightPasses, public HighlightClient {
public:
    // The lists belong to the control; the pass must be destroyed before
    // the model and the lists, and detaches itself from the model.
    THighlightPass(RIzuvAzazModel& model, TKeywordList& keywords, TStartStopKeyList& startStop);
    ~THighlightPass() override;
    THighlightPass(const THighlightPass&) = delete;
    THighlightPass& operator=(const THighlightPass&) = delete;

    // ---- Hooks of the model ----
    void KeywordPass(RIzuvAzazModel& model, std::int32_t paragraph) override;
    void ScanStartStopUpTo(RIzuvAzazModel& model, std::int32_t index) override;
    void RescanEdit(RIzuvAzazModel& model, std::int32_t start, std::int32_t end) override;

    // ---- The control's operations ----
    // Keywords over the paragraphs from the one of `from` to the one of `to`.
    void KeywordPass(TNavigator& from, TNavigator& to);
    // Start/stop keys over the same paragraphs; a changed state at the end
    // is handed on to the following paragraph, whose scan is then redone.
    void StartStopScan(TNavigator& from, TNavigator& to);
    // Writes (set) or removes (not set) one highlight over positions
    // [from, to); the state in force at `to` before the call stays in force
    // from there. A written state gets bit 7 of its flag byte.
    void ApplyAttribute(std::int32_t from, std::int32_t to, bool set, const AttrInfo& state);
    // Discards every highlight and lets layout rebuild them.
    void ResetHighlighting();
    // Highlights the whole text now (start/stop, then keywords, per paragraph).
    void HighlightAll();

    // ---- Queries ----
    HighlightAtPosition HighlightAt(std::int32_t position) const;
    // The effective style of the character at `position`, given the style
    // bits of the control's font.
    std::uint8_t RunStyleAt(std::int32_t position, std::uint8_t baseFontStyle) const;

    // ---- Properties with effects on the highlighting ----
    THighlighter* Highlighter() const noexcept { return link_.Get(); }
    // Registers with the new highlighter (and leaves the old one); while the
    // control is loading the highlighting is rebuilt.
    void SetHighlighter(THighlighter* highlighter, bool loading = false);
    // Both lists and the model take the type; the keys are prepared again.
    void SetUpperCaseType(TrzUpperCase type, bool designing = false);
    // The model takes the set; whole-word fields of the start/stop entries
    // are computed again at the next scan.
    void SetSeparators(std::string_view chars);
    // Whole words of the highlighting alone: what the model's separators
    // decide (word moves, double-click, find) stays as it is. The next
    // SetSeparators puts the model's set back.
    void SetHighlightSeparators(std::string_view chars);
    // At run time a new value affects paragraphs highlighted afterwards;
    // while designing, everything is highlighted again.
    void SetApplyKeyWords(bool on, bool designing = false);
    void SetApplyStartStopKeys(bool on, bool designing = false);

    // ---- HighlightClient ----
    void HighlighterDestroyed() noexcept override { link_.Forget(); }
    void Rehighlight() override { ResetHighlighting(); }

    // Paragraphs whose start/stop ranges were computed, for measurements.
    std::int64_t ParagraphsScanned() const noexcept { return scanned_; }
    void ResetCounters() noexcept { scanned_ = 0; }

private:
    struct Foreign {
        AttrInfo entry;
        std::int32_t end; // offset of the entry that followed it, -1 when none
    };

    void ScanParagraph(std::int32_t index);
    void KeywordsOfParagraph(std::int32_t index);
    void HandOn(std::int32_t index, const AttrInfo& endState);
    AttrInfo EnclosingState(std::int32_t index, const AttrInfo& state, int level) const;
    AttrInfo AfterClose(std::int32_t index, const AttrInfo& state, int entry) const;
    AttrInfo OpenState(const AttrInfo& state, int entry, int openLength) const;
    void RemoveState(ParagraphInfo& p, std::int32_t offset, const AttrInfo& state);
    void PutEntry(ParagraphInfo& p, std::int32_t offset, const AttrInfo& state);
    void WriteOver(ParagraphInfo& p, std::int32_t from, std::int32_t to, const AttrInfo& state,
                   bool set);
    bool AskHook(bool start, std::int32_t index, std::int32_t offset, std::int32_t limit,
                 std::int32_t& hookOffset, AttrInfo& hookState);
    void PrepareList();

    RIzuvAzazModel& model_;
    TKeywordList& keywords_;
    TStartStopKeyList& startStop_;
    HighlighterLink link_{*this};
    TCharSet separators_;

    // Work navigators for the highlighter's hooks.
    TNavigator hookFrom_;
    TNavigator hookTo_;

    // Scratch reused across paragraphs.
    StartStopText text_;
    KeywordScanner scanner_;
    std::vector<KeywordMatch> matches_;
    std::vector<Foreign> foreign_;

    std::int64_t scanned_ = 0;
};

} // namespace lorvane
