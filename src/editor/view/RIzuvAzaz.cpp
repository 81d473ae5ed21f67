// The control itself: construction, properties, events, focus and the
// public operations that are not painting, metrics, caret or clipboard.
#include "editor/view/RIzuvAzaz.h"

#include "editor/view/RIzuvAzazCursors.h"
#include "editor/model/TextViews.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

namespace lorvane {

namespace {
int instances = 0;
} // namespace

int RIzuvAzaz::InstanceCount() noexcept {
    return instances;
}

RIzuvAzaz::RIzuvAzaz(QWidget* parent) : QAbstractScrollArea(parent) {
    if (instances++ == 0) cursors::Acquire();
    font_.name = "System";
    font_.size = 10;
    altFont_ = font_;

    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    SetBorderStyle(borderStyle_);

    model_.SetDevice(&device_);
    model_.SetHost(this);
    pass_ = std::make_unique<THighlightPass>(model_, keywords_, startStopKeys_);
    model_.OnChange = [this] {
        if (OnChange) OnChange();
    };
    model_.OnProgress = [this] {
        if (OnProgress) OnProgress();
    };
    model_.OnParse = [this](std::int32_t start, std::int32_t stop) {
        // A whole new text (however it was loaded) is shown from scratch.
        if (start == 0 && stop == model_.TextLength()) viewport()->update();
        if (OnParse) OnParse(start, stop);
    };
    model_.OnBeforeChange = [this](std::string& text) {
        if (OnBeforeChange) OnBeforeChange(text);
    };
    model_.BlockReplace = [this](std::string_view& text) { return DeleteBlock(text); };

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int) {
        if (!settingBars_) ScrollTo(verticalScrollBar()->value() * vUnit_, hOffset_);
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int) {
        if (!settingBars_) ScrollTo(vOffset_, horizontalScrollBar()->value() * hUnit_);
    });
    ApplyScrollBarPolicy();
    resize(100, 60);
    ApplyFonts();
}

RIzuvAzaz::~RIzuvAzaz() {
    // The model outlives this body; nothing it does from now on may reach
    // the half-destroyed widget.
    input_.reset();
    pass_.reset();
    model_.SetHost(nullptr);
    model_.SetDevice(nullptr);
    model_.OnChange = nullptr;
    model_.OnProgress = nullptr;
    model_.OnParse = nullptr;
    model_.OnBeforeChange = nullptr;
    model_.BlockReplace = nullptr;
    if (--instances == 0) cursors::Release();
}

// ---- Appearance ----

void RIzuvAzaz::ApplyFonts() {
    device_.SetFonts(MakeFont(font_), MakeFont(altFont_), IsTerminalFont(font_.name));
    model_.SetBaseFontStyle(device_.BaseStyle());
    RecomputeMetrics(false);
}

void RIzuvAzaz::SetFont(const LogicalFont& font) {
    font_ = font;
    ApplyFonts();
}

void RIzuvAzaz::SetFontColor(TColor color) {
    if (fontColor_ == color) return;
    fontColor_ = color;
    viewport()->update();
}

void RIzuvAzaz::SetAltFont(const LogicalFont& font) {
    altFont_ = font;
    ApplyFonts();
}

void RIzuvAzaz::SetColor(TColor color) {
    if (color_ == color) return;
    color_ = color;
    viewport()->update();
}

void RIzuvAzaz::SetAlignment(TAlignment a) {
    if (a == model_.Alignment()) return;
    hOffset_ = 0;
    model_.SetAlignment(a);
    UpdateScrollRanges();
    UpdateCaret(false);
    viewport()->update();
}

void RIzuvAzaz::SetJustified(bool on) {
    if (justified_ == on) return;
    justified_ = on;
    hOffset_ = 0;
    UpdateScrollRanges();
    UpdateCaret(false);
    viewport()->update();
}

void RIzuvAzaz::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    if (style == bsSingle) {
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
    } else {
        setFrameShape(QFrame::NoFrame);
    }
}

void RIzuvAzaz::SetScrollBars(TScrollStyle style) {
    if (scrollBars_ == style) return;
    scrollBars_ = style;
    ApplyScrollBarPolicy();
    UpdateScrollRanges();
}

void RIzuvAzaz::ApplyScrollBarPolicy() {
    const bool autoBars = model_.HasOption(rzoAutoScrollBars);
    const auto policy = [autoBars](bool wanted) {
        if (!wanted) return Qt::ScrollBarAlwaysOff;
        return autoBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    };
    setHorizontalScrollBarPolicy(policy(scrollBars_ == ssHorizontal || scrollBars_ == ssBoth));
    setVerticalScrollBarPolicy(policy(scrollBars_ == ssVertical || scrollBars_ == ssBoth));
}

void RIzuvAzaz::SetWordWrap(bool on) {
    if (on == model_.WordWrap()) return;
    hOffset_ = 0;
    model_.SetWordWrap(on);
    UpdateScrollRanges();
    ScrollInView();
    viewport()->update();
}

void RIzuvAzaz::SetLineHeight(std::int32_t v) {
    if (v >= 1) {
        lineHeightAuto_ = false;
        lineHeight_ = v;
    } else {
        lineHeightAuto_ = true;
    }
    RecomputeMetrics(true);
}

void RIzuvAzaz::SetCaretWidth(std::int32_t v) {
    caretWidth_ = v;
    if (caretCreated_) {
        UpdateCaret(true);
        // A caret made again by this setter is one pixel shorter than the line.
        caretShapeHeight_ = std::max(1, lineHeight_ - 1);
    } else {
        caretShapeWidth_ = CaretWidthFor(false);
    }
}

void RIzuvAzaz::SetHideSelection(bool on) {
    if (hideSelection_ == on) return;
    hideSelection_ = on;
    if (!hasFocus()) RepaintSelectionLines();
}

void RIzuvAzaz::SetShowEndParSelected(bool on) {
    if (showEndParSelected_ == on) return;
    showEndParSelected_ = on;
    RepaintSelectionLines();
}

void RIzuvAzaz::SetSelBackColor(TColor c) {
    selBackColor_ = c;
    RepaintSelectionLines();
}

void RIzuvAzaz::SetSelTextColor(TColor c) {
    selTextColor_ = c;
    RepaintSelectionLines();
}

void RIzuvAzaz::SetHighlightColor(TColor c) {
    highlightColor_ = c;
    viewport()->update();
}

void RIzuvAzaz::SetHighlightBackgnd(TColor c) {
    highlightBackgnd_ = c;
    viewport()->update();
}

void RIzuvAzaz::SetEndOfTextMark(const TPen& pen) {
    if (endOfTextMark_ == pen) return;
    endOfTextMark_ = pen;
    viewport()->update();
}

void RIzuvAzaz::SetSpecUnderline(const TPen& pen) {
    if (specUnderline_ == pen) return;
    specUnderline_ = pen;
    viewport()->update();
}

void RIzuvAzaz::SetBackgroundBmp(const QPixmap& picture) {
    backgroundBmp_ = picture;
    viewport()->update();
}

QColor RIzuvAzaz::ColorOf(TColor c) const {
    return ToQColor(c, palette());
}

// ---- Behaviour ----

void RIzuvAzaz::SetOptions(RIzuvAzazOptions options) {
    const RIzuvAzazOptions old = model_.Options();
    if (options == old) return;
    model_.SetOptions(options);
    const RIzuvAzazOptions changed = old ^ options;
    if (changed & rzoAutoScrollBars) {
        ApplyScrollBarPolicy();
        UpdateScrollRanges();
    }
    if (hasWindow_ && (changed & (rzoWindowsSelColors | rzoFullLineSelect)) && SelLength() != 0)
        RepaintSelectionLines();
    if (changed & rzoDiscardTrailingSpaces) viewport()->update();
}

void RIzuvAzaz::SetDisplayOnly(bool on) {
    if (displayOnly_ == on) return;
    displayOnly_ = on;
    if (!hasFocus()) return;
    caretCreated_ = !on;
    UpdateCaret(true);
    viewport()->update();
}

void RIzuvAzaz::SetOverwrite(bool on) {
    overwrite_ = on;
    if (hasFocus() && !displayOnly_) UpdateCaret(true);
}

void RIzuvAzaz::SetStaticFormat(bool on) {
    model_.SetStaticFormat(on);
    viewport()->update();
}

// ---- Text and selection ----

void RIzuvAzaz::SetSelStart(std::int32_t pos) {
    const bool hadSelection = SelLength() != 0 || blockActive_;
    if (hadSelection) RepaintSelectionLines();
    blockActive_ = false;
    virtualSpaces_ = 0;
    rememberedX_ = INT_MIN;
    model_.SetSelStart(pos);
}

void RIzuvAzaz::SetSelLength(std::int32_t length) {
    if (blockActive_) {
        RepaintSelectionLines();
        blockActive_ = false;
    }
    const auto lineOf = [this](std::int32_t pos) {
        paintNav_.SetPosition(std::clamp(pos, 0, TextLength()));
        return paintNav_.LineNumber();
    };
    const std::int32_t caret = SelStart();
    const std::int32_t oldFar = caret + SelLength();
    model_.SetSelLength(length);
    const std::int32_t newFar = caret + SelLength();
    InvalidateLines(lineOf(std::min(oldFar, newFar)), lineOf(std::max(oldFar, newFar)));
}

std::string RIzuvAzaz::SelText() {
    return blockActive_ ? BlockText() : model_.SelText();
}

void RIzuvAzaz::SetSelText(std::string_view text) {
    if (virtualSpaces_ > 0 && model_.HasOption(rzoPutExtraSpaces) && SelLength() == 0 &&
        !blockActive_) {
        std::string padded(static_cast<std::size_t>(virtualSpaces_), ' ');
        padded.append(text);
        virtualSpaces_ = 0;
        model_.Replace(padded);
        return;
    }
    virtualSpaces_ = 0;
    model_.Replace(text);
}

std::int32_t RIzuvAzaz::GetSelTextBuf(char* buffer, std::int32_t size) {
    if (!buffer || size <= 0) return 0;
    const std::int32_t start = model_.SelStartNavigator().Position();
    const std::int32_t n = std::min(std::abs(SelLength()), size - 1);
    const std::string text = model_.GetTextRange(start, start + n);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<std::int32_t>(text.size());
}

void RIzuvAzaz::SetText(std::string_view text) {
    blockActive_ = false;
    virtualSpaces_ = 0;
    rememberedX_ = INT_MIN;
    model_.SetText(text);
    hOffset_ = 0;
    vOffset_ = 0;
    UpdateScrollRanges();
    UpdateCaret(false);
    viewport()->update();
}

bool RIzuvAzaz::ExchangeBytes(const std::array<unsigned char, 256>& table) {
    blockActive_ = false;
    virtualSpaces_ = 0;
    rememberedX_ = INT_MIN;
    model_.BeginUpdate();
    bool done = false;
    try {
        done = model_.ExchangeBytes(table);
        // Keywords may hold the letters exchanged: highlighting starts over.
        if (done) pass_->ResetHighlighting();
    } catch (...) {
        model_.EndUpdate();
        throw;
    }
    model_.EndUpdate();
    if (!done) return false;
    hOffset_ = 0;
    vOffset_ = 0;
    UpdateScrollRanges();
    UpdateCaret(false);
    viewport()->update();
    return true;
}

bool RIzuvAzaz::ConvertParagraphs(RIzuvAzazModel::ParagraphConverter convert) {
    blockActive_ = false;
    virtualSpaces_ = 0;
    rememberedX_ = INT_MIN;
    if (!model_.ConvertParagraphs(convert)) return false;
    viewport()->update();
    return true;
}

void RIzuvAzaz::SelectAll() {
    blockActive_ = false;
    virtualSpaces_ = 0;
    model_.SelectAll();
    viewport()->update();
}

void RIzuvAzaz::Undo() {
    blockActive_ = false;
    virtualSpaces_ = 0;
    model_.Undo();
    viewport()->update();
}

void RIzuvAzaz::Redo() {
    blockActive_ = false;
    virtualSpaces_ = 0;
    model_.Redo();
    viewport()->update();
}

bool RIzuvAzaz::FindText(std::string_view text, bool forward, bool matchCase, bool wholeWord) {
    RepaintSelectionLines();
    blockActive_ = false;
    virtualSpaces_ = 0;
    const bool found = model_.FindText(text, forward, matchCase, wholeWord);
    if (found) {
        RepaintSelectionLines();
        ScrollInView();
    }
    return found;
}

void RIzuvAzaz::ToggleCode(char code) {
    if (!StaticFormat() || std::abs(SelLength()) >= 2147483545) return;
    EndBlockSelection();
    const std::int32_t length = SelLength();
    std::string wrapped(1, code);
    wrapped += model_.SelText();
    wrapped.push_back(code);
    model_.Replace(wrapped,
                   length == 0 ? ReplaceKind::FormatCommandEmpty : ReplaceKind::FormatCommand);
    const std::int32_t end = SelStart();
    const auto n = static_cast<std::int32_t>(wrapped.size());
    if (length == 0) {
        SetSelStart(end - 1);
    } else if (length > 0) {
        SetSelStart(end - n);
        SetSelLength(n);
    } else {
        SetSelStart(end);
        SetSelLength(-n);
    }
}

std::int32_t RIzuvAzaz::CaretColumn() {
    TNavigator& caret = model_.Caret();
    const LineInfo* line = caret.Lines().At(caret.LineInParagraph());
    return caret.ParagraphOffset() - line->start + virtualSpaces_;
}

void RIzuvAzaz::GoToDisplayLine(std::int32_t line) {
    virtualSpaces_ = 0;
    rememberedX_ = INT_MIN;
    RepaintSelectionLines();
    blockActive_ = false;
    model_.GoToDisplayLine(line);
}

void RIzuvAzaz::SetCaretColumn(std::int32_t column) {
    TNavigator& caret = model_.Caret();
    const std::int32_t k = caret.LineInParagraph();
    const LineInfo* line = caret.Lines().At(k);
    const bool last = k == caret.Paragraph()->lineCount - 1;
    // On a wrapped line the last offset belongs to the next line.
    const std::int32_t longest = line->end - line->start - (last ? 0 : 1);
    const std::int32_t pos = caret.Position() - caret.ParagraphOffset() + line->start +
                             std::clamp(column, 0, std::max(0, longest));
    const std::int32_t length = SelLength();
    SetSelStart(pos);
    if (length != 0) SetSelLength(length);
}

void RIzuvAzaz::GoToParagraph(std::int32_t index) {
    virtualSpaces_ = 0;
    rememberedX_ = INT_MIN;
    RepaintSelectionLines();
    blockActive_ = false;
    model_.GoToParagraph(index);
}

void RIzuvAzaz::SetTopLine(std::int32_t line) {
    ScrollTo(std::max(0, line) * lineHeight_, hOffset_);
}

void RIzuvAzaz::ResetHighlighting() {
    pass_->ResetHighlighting();
    viewport()->update();
}

void RIzuvAzaz::SetBlockSelection(std::int32_t leftColumn, std::int32_t rightColumn) {
    if (blockActive_) RepaintSelectionLines();
    blockActive_ = true;
    blockLeft_ = std::max(0, std::min(leftColumn, rightColumn));
    blockRight_ = std::max(0, std::max(leftColumn, rightColumn));
    RepaintSelectionLines();
}

void RIzuvAzaz::EndBlockSelection() {
    if (!blockActive_) return;
    RepaintSelectionLines();
    blockActive_ = false;
}

void RIzuvAzaz::SetVirtualSpaces(std::int32_t n) {
    virtualSpaces_ = std::max(0, n);
    UpdateCaret(false);
}

void RIzuvAzaz::RepaintSelectionLines() {
    TNavigator& a = model_.SelStartNavigator();
    TNavigator& b = model_.SelStopNavigator();
    if (a.Position() == b.Position() && !blockActive_) return;
    InvalidateLines(a.LineNumber(), b.LineNumber());
}

// ---- Events of the window ----

bool RIzuvAzaz::event(QEvent* e) {
    return QAbstractScrollArea::event(e);
}

void RIzuvAzaz::showEvent(QShowEvent* e) {
    QAbstractScrollArea::showEvent(e);
    if (!hasWindow_) {
        hasWindow_ = true;
        virtualSpaces_ = 0;
        rememberedX_ = INT_MIN;
        RecomputeMetrics(false);
    }
}

void RIzuvAzaz::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    if (!displayOnly_) {
        caretCreated_ = true;
        UpdateCaret(true);
        if (const int flash = QApplication::cursorFlashTime(); flash > 0)
            caretTimer_.start(flash / 2, this);
    }
    if (hideSelection_ && SelLength() != 0) RepaintSelectionLines();
}

void RIzuvAzaz::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    caretTimer_.stop();
    if (caretCreated_) {
        caretCreated_ = false;
        viewport()->update(QRect(caretX_, caretY_, caretShapeWidth_, caretShapeHeight_));
    }
    if (hideSelection_) RepaintSelectionLines();
}

void RIzuvAzaz::timerEvent(QTimerEvent* e) {
    if (e->timerId() == primaryTimer_.timerId()) {
        primaryTimer_.stop();
        OfferPrimarySelection();
        return;
    }
    if (e->timerId() != caretTimer_.timerId()) {
        QAbstractScrollArea::timerEvent(e);
        return;
    }
    caretOn_ = !caretOn_;
    if (caretCreated_)
        viewport()->update(QRect(caretX_, caretY_, caretShapeWidth_, caretShapeHeight_));
}

bool RIzuvAzaz::focusNextPrevChild(bool next) {
    // Tab belongs to the text while WantTabs is on.
    if (wantTabs_ && !displayOnly_) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void RIzuvAzaz::keyPressEvent(QKeyEvent* e) {
    if (model_.UpdateCount() > 0) return;
    KeyDown(*e);
}

void RIzuvAzaz::mousePressEvent(QMouseEvent* e) {
    MouseDown(*e);
}

void RIzuvAzaz::mouseMoveEvent(QMouseEvent* e) {
    if (model_.UpdateCount() > 0) return;
    MouseMove(*e);
}

void RIzuvAzaz::mouseReleaseEvent(QMouseEvent* e) {
    MouseUp(*e);
}

void RIzuvAzaz::mouseDoubleClickEvent(QMouseEvent* e) {
    MouseDoubleClick(*e);
}

void RIzuvAzaz::wheelEvent(QWheelEvent* e) {
    Wheel(*e);
}

void RIzuvAzaz::KeyDown(QKeyEvent& event) {
    event.ignore();
}

void RIzuvAzaz::MouseDown(QMouseEvent& event) {
    setFocus(Qt::MouseFocusReason);
    if (event.button() != Qt::LeftButton) return;
    std::int32_t spaces = 0;
    const std::int32_t pos = PositionAt(event.position().toPoint(), &spaces);
    SetSelStart(pos);
    if (spaces > 0) SetVirtualSpaces(spaces);
    event.accept();
}

void RIzuvAzaz::MouseMove(QMouseEvent& event) {
    const bool overMargin =
        event.position().x() < LeftMargin() && !model_.HasOption(rzoNoLineSelection);
    viewport()->setCursor(overMargin ? cursors::RightArrow() : QCursor(Qt::IBeamCursor));
}

void RIzuvAzaz::MouseUp(QMouseEvent& event) {
    event.accept();
}

void RIzuvAzaz::MouseDoubleClick(QMouseEvent& event) {
    event.accept();
}

void RIzuvAzaz::Wheel(QWheelEvent& event) {
    const int notches = event.angleDelta().y() / 120;
    if (notches == 0 || model_.UpdateCount() > 0) return;
    ScrollTo(std::max(0, vOffset_ - notches * mouseWheelFactor_ * lineHeight_), hOffset_);
    event.accept();
}

} // namespace lorvane
