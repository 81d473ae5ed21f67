#pragma once
// The editor control: a Qt widget that shows one RIzuvAzazModel, measures
// and draws its text through TFontDevice, keeps the caret and the scroll
// offsets, and talks to the clipboard. The control is split by concern:
// this file and RIzuvAzaz.cpp hold the properties, events and public
// operations; RIzuvAzazMetrics.cpp the pixel mapping and scroll ranges;
// RIzuvAzazPaint.cpp the painting; RIzuvAzazCaret.cpp the caret;
// RIzuvAzazClipboard.cpp the clipboard. Keyboard and mouse handling plug in
// through the protected virtual handlers below.
#include "editor/model/EditorHost.h"
#include "editor/highlight/HighlightPass.h"
#include "editor/highlight/KeywordList.h"
#include "editor/view/RIzuvAzazFontDevice.h"
#include "editor/model/RIzuvAzazModel.h"
#include "editor/highlight/StartStopList.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QImage>
#include <QPixmap>
#include <QRegion>

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QMimeData;

namespace lorvane {

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle : std::uint8_t { bsNone, bsSingle };
enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

// A pen as the control's properties describe one; colour -1 means no pen.
struct TPen {
    TColor color = clRed;
    int width = 1;
    TPenStyle style = psSolid;
    friend bool operator==(const TPen&, const TPen&) = default;
};

class RIzuvAzaz : public QAbstractScrollArea, private TEditorHost {
public:
    explicit RIzuvAzaz(QWidget* parent = nullptr);
    ~RIzuvAzaz() override;
    RIzuvAzaz(const RIzuvAzaz&) = delete;
    RIzuvAzaz& operator=(const RIzuvAzaz&) = delete;

    RIzuvAzazModel& Model() noexcept { return model_; }
    // Takes over the object that turns key and mouse events into editing
    // (the input handler). It goes before the model when the control is
    // destroyed, since its navigators point into the model.
    template <class Handler> Handler& AdoptInputHandler(std::unique_ptr<Handler> handler) {
        Handler& h = *handler;
        input_ = std::move(handler);
        return h;
    }
    TFontDevice& Device() noexcept { return device_; }
    // Live controls in this process; the first and the last share objects.
    static int InstanceCount() noexcept;

    // ---- Events ----
    std::function<void()> OnChange, OnStyleChange, OnSelMove, OnHScroll, OnVScroll, OnProgress;
    std::function<void(std::int32_t start, std::int32_t stop)> OnParse;
    std::function<void(std::int32_t context, std::int32_t start, std::int32_t stop)> OnContext;
    std::function<void(std::string& text)> OnBeforeChange;

    // ---- Appearance ----
    const LogicalFont& Font() const noexcept { return font_; }
    void SetFont(const LogicalFont& font);
    TColor FontColor() const noexcept { return fontColor_; }
    void SetFontColor(TColor color);
    const LogicalFont& AltFont() const noexcept { return altFont_; }
    void SetAltFont(const LogicalFont& font);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    TAlignment Alignment() const noexcept { return model_.Alignment(); }
    void SetAlignment(TAlignment a);
    bool Justified() const noexcept { return justified_; }
    void SetJustified(bool on);
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    bool WordWrap() const noexcept { return model_.WordWrap(); }
    void SetWordWrap(bool on);
    std::int32_t LeftMargin() const noexcept { return model_.LeftMargin(); }
    void SetLeftMargin(std::int32_t v) { model_.SetLeftMargin(v); }
    std::int32_t RightMargin() const noexcept { return model_.RightMargin(); }
    void SetRightMargin(std::int32_t v) { model_.SetRightMargin(v); }
    std::int32_t TabStops() const noexcept { return model_.TabStops(); }
    void SetTabStops(std::int32_t v) { model_.SetTabStops(v); }
    // 0 while automatic (font height + 1), else the fixed height.
    std::int32_t LineHeight() const noexcept { return lineHeightAuto_ ? 0 : lineHeight_; }
    void SetLineHeight(std::int32_t v);
    std::int32_t CurrentLineHeight() const noexcept { return lineHeight_; }
    std::int32_t CaretWidth() const noexcept { return caretWidth_; }
    void SetCaretWidth(std::int32_t v);
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool on);
    bool ShowEndParSelected() const noexcept { return showEndParSelected_; }
    void SetShowEndParSelected(bool on);
    TColor SelBackColor() const noexcept { return selBackColor_; }
    void SetSelBackColor(TColor c);
    TColor SelTextColor() const noexcept { return selTextColor_; }
    void SetSelTextColor(TColor c);
    TColor HighlightColor() const noexcept { return highlightColor_; }
    void SetHighlightColor(TColor c);
    TColor HighlightBackgnd() const noexcept { return highlightBackgnd_; }
    void SetHighlightBackgnd(TColor c);
    const TPen& EndOfTextMark() const noexcept { return endOfTextMark_; }
    void SetEndOfTextMark(const TPen& pen);
    const TPen& SpecUnderline() const noexcept { return specUnderline_; }
    void SetSpecUnderline(const TPen& pen);
    const QPixmap& BackgroundBmp() const noexcept { return backgroundBmp_; }
    void SetBackgroundBmp(const QPixmap& picture);

    // ---- Behaviour ----
    RIzuvAzazOptions Options() const noexcept { return model_.Options(); }
    void SetOptions(RIzuvAzazOptions options);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool on) noexcept { readOnly_ = on; }
    bool WantTabs() const noexcept { return wantTabs_; }
    void SetWantTabs(bool on) noexcept { wantTabs_ = on; }
    bool DisplayOnly() const noexcept { return displayOnly_; }
    void SetDisplayOnly(bool on);
    bool EnableHotKeys() const noexcept { return enableHotKeys_; }
    void SetEnableHotKeys(bool on) noexcept { enableHotKeys_ = on; }
    bool PassOverCodes() const noexcept { return passOverCodes_; }
    void SetPassOverCodes(bool on) noexcept { passOverCodes_ = on; }
    bool Overwrite() const noexcept { return overwrite_; }
    void SetOverwrite(bool on);
    std::int32_t MouseWheelFactor() const noexcept { return mouseWheelFactor_; }
    void SetMouseWheelFactor(std::int32_t v) noexcept { mouseWheelFactor_ = v; }
    bool StaticFormat() const noexcept { return model_.StaticFormat(); }
    void SetStaticFormat(bool on);
    TUpdateMode UpdateMode() const noexcept { return model_.UpdateMode(); }
    void SetUpdateMode(TUpdateMode mode) { model_.SetUpdateMode(mode); }
    TLineBreak LineBreak() const noexcept { return model_.LineBreak(); }
    void SetLineBreak(TLineBreak b) noexcept { model_.SetLineBreak(b); }
    char NullReplacement() const noexcept { return model_.NullReplacement(); }
    void SetNullReplacement(char c) noexcept { model_.SetNullReplacement(c); }
    std::string Separators() const { return model_.Separators(); }
    void SetSeparators(std::string_view chars) { pass_->SetSeparators(chars); }
    TrzUpperCase UpperCaseType() const noexcept { return model_.UpperCaseType(); }
    void SetUpperCaseType(TrzUpperCase t) { pass_->SetUpperCaseType(t); }
    bool ApplyKeyWords() const noexcept { return model_.ApplyKeyWords(); }
    void SetApplyKeyWords(bool on) { pass_->SetApplyKeyWords(on); }
    bool ApplyStartStopKeys() const noexcept { return model_.ApplyStartStopKeys(); }
    void SetApplyStartStopKeys(bool on) { pass_->SetApplyStartStopKeys(on); }
    TKeywordList& Keywords() noexcept { return keywords_; }
    TStartStopKeyList& StartStopKeys() noexcept { return startStopKeys_; }
    THighlightPass& Highlighting() noexcept { return *pass_; }
    THighlighter* Highlighter() const noexcept { return pass_->Highlighter(); }
    void SetHighlighter(THighlighter* h) { pass_->SetHighlighter(h); }
    std::int32_t UndoMaxLevel() const noexcept { return model_.UndoMaxLevel(); }
    void SetUndoMaxLevel(std::int32_t v) { model_.SetUndoMaxLevel(v); }
    std::int32_t UndoMaxSpace() const noexcept { return model_.UndoMaxSpace(); }
    void SetUndoMaxSpace(std::int32_t v) { model_.SetUndoMaxSpace(v); }
    TLinesStrings& Lines() noexcept { return model_.Lines(); }
    TParaStrings& Paragraphs() noexcept { return model_.Paragraphs(); }

    // ---- Text and selection ----
    std::int32_t TextLength() const noexcept { return model_.TextLength(); }
    std::int32_t SelStart() const noexcept { return model_.SelStart(); }
    void SetSelStart(std::int32_t pos);
    std::int32_t SelLength() const noexcept { return model_.SelLength(); }
    void SetSelLength(std::int32_t length);
    std::string SelText();
    void SetSelText(std::string_view text);
    std::int32_t GetSelTextBuf(char* buffer, std::int32_t size);
    void Replace(std::string_view text) { model_.Replace(text); }
    void SetText(std::string_view text);
    void Clear() { SetText({}); }
    // SetText of the text with every byte exchanged through `table`, done in
    // place (see the model's ExchangeBytes); false for a refused table.
    bool ExchangeBytes(const std::array<unsigned char, 256>& table);
    // Every paragraph rewritten in place (see the model's ConvertParagraphs).
    bool ConvertParagraphs(RIzuvAzazModel::ParagraphConverter convert);
    std::string Text() { return model_.Text(); }
    bool Modified() const noexcept { return model_.Modified(); }
    void SetModified(bool on) noexcept { model_.SetModified(on); }
    void SelectAll();
    void Undo();
    void Redo();
    bool CanUndo() const noexcept { return model_.CanUndo(); }
    bool CanRedo() const noexcept { return model_.CanRedo(); }
    void ClearUndo() noexcept { model_.ClearUndo(); }
    bool FindText(std::string_view text, bool forward, bool matchCase, bool wholeWord);
    void ToggleBold() { ToggleCode(2); }
    void ToggleItalic() { ToggleCode(1); }
    void ToggleUnderline() { ToggleCode(21); }
    void ToggleHighlight() { ToggleCode(3); }
    void ToggleAltFont() { ToggleCode(4); }
    std::uint8_t CaretStyle() { return model_.CaretStyle(); }
    std::int32_t CaretLine() { return model_.CaretLine(); }
    std::int32_t CaretColumn();
    void GoToDisplayLine(std::int32_t line);
    void SetCaretColumn(std::int32_t column);
    std::int32_t CaretParagraph() { return model_.CaretParagraph(); }
    void GoToParagraph(std::int32_t index);
    std::int32_t ParagraphCount() const noexcept { return model_.ParagraphCount(); }
    std::int32_t ParagraphStart(std::int32_t index) const { return model_.ParagraphStart(index); }
    std::int32_t TopLine() const noexcept { return vOffset_ / std::max(1, lineHeight_); }
    void SetTopLine(std::int32_t line);
    void LoadFromStream(TStream& stream) { model_.LoadFromStream(stream); }
    void SaveToStream(TStream& stream) { model_.SaveToStream(stream); }
    void ResetHighlighting();

    // Column (block) selection: the paragraphs of the selection, between two
    // columns of space width. The mouse and keyboard set it.
    bool BlockSelection() const noexcept { return blockActive_; }
    std::int32_t BlockLeft() const noexcept { return blockLeft_; }
    std::int32_t BlockRight() const noexcept { return blockRight_; }
    void SetBlockSelection(std::int32_t leftColumn, std::int32_t rightColumn);
    void EndBlockSelection();
    std::string BlockText();

    // ---- Clipboard ----
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // The private MIME type that marks clipboard text as a column block.
    static const char* BlockMimeType() noexcept;
    // Document bytes as text for other programs (UTF-8 with LF breaks), and
    // their text as document bytes (any break becomes CR LF), both in the
    // code page the control draws with.
    QString ToForeignText(const std::string& bytes) const;
    std::string FromForeignText(const QString& text) const;
    // Text of another program put in at a client point as one change (a
    // drop, selected afterwards, or the primary selection).
    void InsertForeignText(QPoint at, const QString& text, bool selectIt);
    // The middle click: the primary selection, where the platform has one.
    void PastePrimarySelection(QPoint at);

    // ---- Caret and virtual space ----
    std::int32_t VirtualSpaces() const noexcept { return virtualSpaces_; }
    void SetVirtualSpaces(std::int32_t n);
    std::int32_t RememberedX() const noexcept { return rememberedX_; }
    void SetRememberedX(std::int32_t x) noexcept { rememberedX_ = x; }
    QPoint CaretPos() const noexcept { return {caretX_, caretY_}; }
    // Width the caret has now (explicit, automatic or the wide overwrite caret).
    int CurrentCaretWidth() const noexcept { return caretShapeWidth_; }
    int CurrentCaretHeight() const noexcept { return caretShapeHeight_; }
    bool CaretVisible() const noexcept { return caretCreated_; }
    void UpdateCaret(bool recreate = false);

    // ---- Metrics and pixel mapping ----
    int BaselineOffset() const noexcept { return baseline_; }
    int SpaceWidth() const noexcept { return spaceWidth_; }
    int ChunkLength() const noexcept { return chunkLength_; }
    int VisibleLines() const noexcept { return visibleLines_; }
    int VerticalScrollUnit() const noexcept { return vUnit_; }
    int HorizontalScrollUnit() const noexcept { return hUnit_; }
    int HorizontalOffset() const noexcept { return hOffset_; }
    int VerticalOffset() const noexcept { return vOffset_; }
    virtual int PosToX(ParagraphInfo* paragraph, std::int32_t index, std::int32_t column,
                       std::int32_t lineInParagraph);
    virtual std::int32_t XToPos(ParagraphInfo* paragraph, std::int32_t index, bool beyondTab, int x,
                                std::int32_t lineInParagraph);
    virtual int LineToY(std::int32_t line) const noexcept;
    virtual std::int32_t YToLine(int y) const noexcept;
    // The caret position of a client point (for clicks), and its virtual spaces.
    std::int32_t PositionAt(QPoint point, std::int32_t* virtualSpaces = nullptr);
    void InvalidateLines(std::int32_t a, std::int32_t b) override;
    // Repaints the lines whose selection look changed since the last call:
    // every path that moves the selection ends here through UpdateCaret, so
    // no caller has to know which lines the old selection covered.
    void InvalidateSelectionChange();
    void ScrollTo(int vOffset, int hOffset);
    void ScrollInView();
    void RecomputeMetrics(bool fromLineHeight = false);

    // Update brackets of the Lines view: nothing is painted while one is open.
    void BeginUpdate() noexcept { model_.BeginUpdate(); }
    void EndUpdate() { model_.EndUpdate(); }

    QSize sizeHint() const override { return {100, 60}; }

protected:
    // Entry points for the keyboard and mouse handling. The defaults take
    // the focus and put the caret where the mouse is pressed, and scroll by
    // the wheel; keys are left to the handlers that override these.
    virtual void KeyDown(QKeyEvent& event);
    virtual void MouseDown(QMouseEvent& event);
    virtual void MouseMove(QMouseEvent& event);
    virtual void MouseUp(QMouseEvent& event);
    virtual void MouseDoubleClick(QMouseEvent& event);
    virtual void Wheel(QWheelEvent& event);

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    bool HasWindow() const noexcept { return hasWindow_; }
    bool Focused() const noexcept { return hasFocus(); }
    void RepaintSelectionLines();

private:
    friend class TLinePainter;

    // TEditorHost
    int ClientWidth() const override;
    int ClientHeight() const override;
    void LinesShifted(std::int32_t firstChangedLine, std::int32_t delta) override;
    void UpdateScrollRanges() override;
    void PostBackgroundSlice() override;
    void UpdateCaret() override { UpdateCaret(false); }
    void ScrollCaretIntoView() override {
        // After an edit the caret stays in view while background layout
        // adds the lines of what the edit put above it.
        followCaret_ = true;
        ScrollInView();
    }

    void ApplyFonts();
    bool AcceptsDrop(const QMimeData* data) const;
    void SelectionMayHaveChanged();
    void OfferPrimarySelection();
    void ApplyScrollBarPolicy();
    void SyncTopLine();
    void SettleView();
    // Asks for a repaint of r; while a paint is under way, after it.
    void InvalidateRect(const QRect& r);
    void PaintLines(QPainter& target, const QRect& area);
    void ToggleCode(char code);
    bool DeleteBlock(std::string_view& text);
    void PasteBlock(const std::string& text);
    int CaretWidthFor(bool wide);
    QColor ColorOf(TColor c) const;
    int LineOrigin(const ParagraphInfo& p, const LineInfo& line, bool lastOfParagraph) const;

    RIzuvAzazModel model_;
    TFontDevice device_;
    TNavigator paintNav_{&model_};
    TNavigator caretNav_{&model_};
    TKeywordList keywords_;
    TStartStopKeyList startStopKeys_;
    // Declared after the model and the lists: it goes first and detaches.
    std::unique_ptr<THighlightPass> pass_;
    std::unique_ptr<QObject> input_;

    LogicalFont font_;
    LogicalFont altFont_;
    TColor fontColor_ = clWindowText;
    TColor color_ = clWindow;
    bool justified_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    TScrollStyle scrollBars_ = ssVertical;
    bool lineHeightAuto_ = true;
    std::int32_t lineHeight_ = 16;
    std::int32_t caretWidth_ = 1;
    bool hideSelection_ = true;
    bool showEndParSelected_ = true;
    TColor selBackColor_ = clHighlight;
    TColor selTextColor_ = clHighlightText;
    TColor highlightColor_ = clRed;
    TColor highlightBackgnd_ = clWindow;
    TPen endOfTextMark_;
    TPen specUnderline_;
    QPixmap backgroundBmp_;
    bool readOnly_ = false;
    bool wantTabs_ = true;
    bool displayOnly_ = false;
    bool enableHotKeys_ = true;
    bool passOverCodes_ = true;
    bool overwrite_ = false;
    std::int32_t mouseWheelFactor_ = 3;

    bool hasWindow_ = false;
    int baseline_ = 12;
    int spaceWidth_ = 8;
    int maxCharWidth_ = 4;
    int chunkLength_ = 4096;
    int visibleLines_ = 1;
    int vUnit_ = 1;
    int hUnit_ = 1;
    int hOffset_ = 0;
    int vOffset_ = 0;
    bool settingBars_ = false;
    QImage lineImage_;

    int caretX_ = 0;
    int caretY_ = 0;
    int caretShapeWidth_ = 1;
    int caretShapeHeight_ = 16;
    bool caretCreated_ = false;
    bool caretOn_ = true; // the blink phase
    QBasicTimer caretTimer_;
    QBasicTimer primaryTimer_;
    int caretCharWidth_ = 0;
    std::int32_t virtualSpaces_ = 0;
    std::int32_t rememberedX_ = INT_MIN;
    std::int32_t lastCaretPos_ = -1;
    int lastStyle_ = -1;

    // The selection as the screen shows it (or will after pending paints).
    // Its ends are navigators, so they follow edits and layout like the text.
    TNavigator shownFrom_{&model_};
    TNavigator shownTo_{&model_};
    std::int32_t shownLeft_ = 0, shownRight_ = 0;
    bool shownBlock_ = false, shownAny_ = false;

    bool blockActive_ = false;
    std::int32_t blockLeft_ = 0;
    std::int32_t blockRight_ = 0;
    bool slicePosted_ = false;
    bool followCaret_ = false;  // until the layout job ends or the user scrolls
    bool keepingCaret_ = false; // ScrollInView is scrolling
    bool painting_ = false;
    QRegion paintedLate_; // invalidated while painting
};

} // namespace lorvane
