// Metrics of the control: what follows from the font, the mapping between
// text positions and pixels, the scroll ranges and scrolling itself.
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazLine.h"

#include <QFontInfo>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace lorvane {

namespace {
// Scroll bars count in 16-bit steps; larger extents scroll in bigger units.
constexpr std::int64_t kScrollSteps = 32760;
} // namespace

int RIzuvAzaz::ClientWidth() const {
    return viewport()->width();
}

int RIzuvAzaz::ClientHeight() const {
    return viewport()->height();
}

void RIzuvAzaz::RecomputeMetrics(bool fromLineHeight) {
    const QFontMetrics& m = device_.BaseMetrics();
    if (lineHeightAuto_) lineHeight_ = m.height() + 1;
    lineHeight_ = std::max(1, lineHeight_);
    // Qt reports no internal leading; the part of the character cell above
    // the em square plays its role.
    const int pixelSize = QFontInfo(device_.FontFor(device_.BaseStyle())).pixelSize();
    const int internalLeading = std::max(0, m.height() - pixelSize);
    const int glyphTop = m.height() - internalLeading - m.descent();
    baseline_ = lineHeight_ - m.descent() - 1;
    if (baseline_ < glyphTop) {
        baseline_ = lineHeight_ - internalLeading;
        if (baseline_ < glyphTop) baseline_ = lineHeight_;
    }
    device_.SetLineHeight(lineHeight_);
    visibleLines_ = ClientHeight() / lineHeight_ + 1;
    spaceWidth_ = std::max(1, device_.AverageCharWidth());
    maxCharWidth_ = std::max(1, m.maxWidth());
    chunkLength_ = std::max(1, 16384 / maxCharWidth_);
    lineImage_ = QImage(std::max(1, ClientWidth()), lineHeight_, QImage::Format_RGB32);
    if (!fromLineHeight) model_.FontChanged();

    hOffset_ = 0;
    vOffset_ = 0;
    model_.SeekDisplayLine(model_.TopLineNavigator(), 0);
    UpdateScrollRanges();
    caretShapeWidth_ = CaretWidthFor(false);
    caretShapeHeight_ = lineHeight_;
    if (OnVScroll) OnVScroll();
    UpdateCaret(caretCreated_);
    viewport()->update();
}

// ---- Positions and pixels ----

int RIzuvAzaz::LineOrigin(const ParagraphInfo& p, const LineInfo& line, bool last) const {
    (void)p;
    if (justified_ && !last) return LeftMargin();
    switch (model_.Alignment()) {
    case taRightJustify:
        return ClientWidth() - RightMargin() - line.width;
    case taCenter:
        return (ClientWidth() - LeftMargin() - RightMargin() - line.width) / 2 + LeftMargin();
    case taLeftJustify:
        break;
    }
    return LeftMargin();
}

int RIzuvAzaz::PosToX(ParagraphInfo* paragraph, std::int32_t index, std::int32_t column,
                      std::int32_t lineInParagraph) {
    (void)index;
    TLinesList lines(paragraph);
    lineInParagraph = std::clamp(lineInParagraph, 0, lines.Count() - 1);
    const LineInfo& line = *lines.At(lineInParagraph);
    const bool last = lineInParagraph == lines.Count() - 1;
    const int available = ClientWidth() - LeftMargin() - RightMargin();
    TLineWalker walker(*paragraph, line, device_, StaticFormat(), TabStops() * spaceWidth_,
                       chunkLength_, justified_ && !last, available);
    const std::int32_t end = std::min(line.end, line.start + std::max(0, column));
    walker.SetLimit(end);
    TLineRun run;
    while (walker.Next(run)) {
    }
    caretCharWidth_ = 0;
    if (end < paragraph->length && static_cast<unsigned char>(paragraph->text[end]) >= 32)
        caretCharWidth_ = walker.CharWidth(end);
    return walker.X() - hOffset_ + LineOrigin(*paragraph, line, last);
}

std::int32_t RIzuvAzaz::XToPos(ParagraphInfo* paragraph, std::int32_t index, bool beyondTab, int x,
                               std::int32_t lineInParagraph) {
    (void)index;
    TLinesList lines(paragraph);
    lineInParagraph = std::clamp(lineInParagraph, 0, lines.Count() - 1);
    const LineInfo& line = *lines.At(lineInParagraph);
    const bool last = lineInParagraph == lines.Count() - 1;
    const int available = ClientWidth() - LeftMargin() - RightMargin();
    const int target = x + hOffset_ - LineOrigin(*paragraph, line, last);
    TLineWalker walker(*paragraph, line, device_, StaticFormat(), TabStops() * spaceWidth_,
                       chunkLength_, justified_ && !last, available);
    TLineRun run;
    while (walker.Next(run)) {
        if (run.kind == TLineRun::Code) continue;
        if (run.kind != TLineRun::Text) {
            if (run.x + run.width / 2 > target) return run.from - line.start;
            // A click in the right half of a tab lands before it when the
            // caret may stand in the tab's blank space.
            if (beyondTab && run.kind == TLineRun::Tab && target < run.x + run.width)
                return run.from - line.start;
            continue;
        }
        if (run.x + run.width <= target) continue;
        int cx = run.x;
        for (std::int32_t k = run.from; k < run.to; ++k) {
            const int w = walker.CharWidth(k);
            if (cx + w / 2 > target) return k - line.start;
            cx += w;
        }
    }
    // Past the end: after the last character; on a wrapped line, before the
    // blank it broke at, so the caret stays on this line.
    std::int32_t length = line.end - line.start;
    if (!last && length > 0) --length;
    return length;
}

int RIzuvAzaz::LineToY(std::int32_t line) const noexcept {
    return line * lineHeight_ - vOffset_ % std::max(1, lineHeight_);
}

std::int32_t RIzuvAzaz::YToLine(int y) const noexcept {
    if (lineHeight_ < 1) return 0;
    return (vOffset_ % lineHeight_ + y) / lineHeight_;
}

std::int32_t RIzuvAzaz::PositionAt(QPoint point, std::int32_t* virtualSpaces) {
    if (virtualSpaces) *virtualSpaces = 0;
    std::int32_t line = std::max(0, TopLine() + YToLine(std::max(0, point.y())));
    model_.SeekDisplayLine(caretNav_, line);
    line = std::min(line, model_.LineCount() - 1);
    if (caretNav_.LineNumber() != line) model_.SeekDisplayLine(caretNav_, line);
    const std::int32_t i = caretNav_.ParagraphIndex();
    const std::int32_t k = caretNav_.LineInParagraph();
    ParagraphInfo* p = model_.ParagraphAt(i);
    const LineInfo& info = *TLinesList(p).At(k);
    const bool keep = model_.HasOption(rzoKeepColumnPos);
    const std::int32_t column = XToPos(p, i, keep, point.x(), k);
    const std::int32_t offset = info.start + column;
    if (keep && virtualSpaces && (k == p->lineCount - 1 || offset >= info.end)) {
        const int endX = PosToX(p, i, column, k);
        if (point.x() > endX) *virtualSpaces = (point.x() - endX + spaceWidth_ / 2) / spaceWidth_;
    }
    return model_.StartAt(i) + offset;
}

void RIzuvAzaz::InvalidateLines(std::int32_t a, std::int32_t b) {
    if (b < 0) b = std::max(a, model_.LineCount() + visibleLines_);
    if (a > b) std::swap(a, b);
    const std::int32_t top = TopLine();
    if (b < top || a > top + visibleLines_ + 1) return;
    const int y1 = a < top ? 0 : LineToY(a - top);
    const int y2 = b > top + visibleLines_ + 1 ? ClientHeight() : LineToY(b - top + 1);
    InvalidateRect(QRect(0, y1, ClientWidth(), std::max(0, y2 - y1)));
}

// ---- Scrolling ----

void RIzuvAzaz::SyncTopLine() {
    // The view is anchored to the text at its top, not to a line number:
    // layout and edits above it move the number, not the text shown.
    const std::int32_t fine = vOffset_ % lineHeight_;
    const int v = model_.TopLineNavigator().LineNumber() * lineHeight_ + fine;
    if (v == vOffset_) return;
    // Same text at the top, other line numbers: every line below an edit
    // that changed them may now stand on another row.
    vOffset_ = v;
    InvalidateRect(viewport()->rect());
}

void RIzuvAzaz::LinesShifted(std::int32_t firstChangedLine, std::int32_t delta) {
    (void)firstChangedLine;
    (void)delta;
    SyncTopLine();
}

void RIzuvAzaz::UpdateScrollRanges() {
    if (settingBars_) return;
    settingBars_ = true;
    SyncTopLine();
    const int cw = ClientWidth(), ch = ClientHeight(), lh = lineHeight_;
    const bool autoBars = model_.HasOption(rzoAutoScrollBars);
    const std::int64_t total = static_cast<std::int64_t>(model_.LineCount()) * lh;
    vUnit_ = static_cast<int>(total / kScrollSteps + 1);
    const std::int64_t wide =
        static_cast<std::int64_t>(model_.WidestLine()) + LeftMargin() + RightMargin();
    hUnit_ = static_cast<int>(wide / kScrollSteps + 1);

    QScrollBar* h = horizontalScrollBar();
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
        const int page = std::max(0, (cw - LeftMargin() - RightMargin()) / hUnit_);
        int maximum = static_cast<int>(std::max<std::int64_t>((wide - cw) / hUnit_, 0)) + page - 1;
        if (WordWrap()) maximum = page - 1;
        if (!autoBars) ++maximum;
        if (model_.Alignment() != taLeftJustify) maximum = page;
        if (maximum < page) hOffset_ = 0;
        // The bar's range is where the page may start.
        h->setRange(0, std::max(0, maximum - page + 1));
        h->setPageStep(std::max(1, page));
        h->setSingleStep(std::max(1, spaceWidth_ / hUnit_));
        h->setValue(hOffset_ / hUnit_);
    } else {
        h->setRange(0, 0);
    }

    QScrollBar* v = verticalScrollBar();
    const int page = std::max(0, (ch - lh) / vUnit_);
    int maximum = static_cast<int>(std::max<std::int64_t>(total / vUnit_, ch - lh - 1));
    if (!autoBars && maximum < ch) ++maximum;
    const int lastStart = std::max(0, maximum - page + 1);
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
        v->setRange(0, lastStart);
        v->setPageStep(std::max(1, page));
        v->setSingleStep(std::max(1, lh / vUnit_));
    } else {
        v->setRange(0, 0);
    }
    settingBars_ = false;
    // Nothing left to scroll (the text got shorter): back to the top.
    if (vOffset_ > 0 && static_cast<std::int64_t>(vOffset_) > std::max<std::int64_t>(0, total - lh))
        ScrollTo(static_cast<int>(std::max<std::int64_t>(0, total - ch)), hOffset_);
    settingBars_ = true;
    v->setValue(vOffset_ / vUnit_);
    settingBars_ = false;
}

void RIzuvAzaz::ScrollTo(int v, int h) {
    v = std::max(0, v);
    h = std::max(0, h);
    if (model_.HasOption(rzoNoFineScroll)) v -= v % lineHeight_;
    const int dh = hOffset_ - h;
    const int dv = vOffset_ - v;
    if (dh == 0 && dv == 0) return;
    if (!keepingCaret_) followCaret_ = false; // the user looks elsewhere now
    settingBars_ = true;
    if (dh != 0) {
        hOffset_ = h;
        caretX_ += dh;
        if (rememberedX_ != INT_MIN) rememberedX_ += dh;
        horizontalScrollBar()->setValue(hOffset_ / hUnit_);
    }
    if (dv != 0) {
        vOffset_ = v;
        model_.SeekDisplayLine(model_.TopLineNavigator(), v / lineHeight_);
        caretY_ += dv;
        verticalScrollBar()->setValue(vOffset_ / vUnit_);
    }
    settingBars_ = false;
    InvalidateRect(viewport()->rect());
    if (dh != 0 && OnHScroll) OnHScroll();
    if (dv != 0 && OnVScroll) OnVScroll();
}

void RIzuvAzaz::scrollContentsBy(int, int) {
    // Scrolling is done by ScrollTo, which repaints; the default would move
    // the viewport's pixels a second time.
}

void RIzuvAzaz::ScrollInView() {
    if (model_.UpdateCount() > 0 || !hasWindow_) return;
    // The paragraphs that can show above the caret are laid out first: one
    // left for the background would grow later and push the caret out of
    // view (a jump into a text still being laid out).
    const std::int32_t para = model_.Caret().ParagraphIndex();
    for (std::int32_t i = std::max(0, para - visibleLines_); i < para; ++i)
        if (!model_.ParagraphAt(i)->laidOut) {
            model_.LayoutRange(i, para - 1, false);
            break;
        }
    UpdateCaret(false); // lays out the caret's paragraph
    const int ch = ClientHeight(), cw = ClientWidth(), lh = lineHeight_;
    int v = vOffset_, h = hOffset_;
    // Sideways in steps of five blanks, so that typing along a line does not
    // shift the text at every character. Right or centred text only moves
    // once it has been moved by hand.
    const int step = 5 * std::max(1, spaceWidth_);
    if (WordWrap() || (model_.Alignment() != taLeftJustify && hOffset_ == 0))
        h = 0;
    else if (caretX_ >= cw)
        h = hOffset_ + ((caretX_ - cw) / step + 1) * step;
    else if (caretX_ < 0)
        h = std::max(0, hOffset_ + (caretX_ / step - 1) * step);
    // Seeking the new top line lays out the paragraphs above it, which can
    // move the caret's own line far down a text not yet laid out: the
    // place is then worked out again from the caret's new line.
    for (int pass = 0; pass < 3; ++pass) {
        v = vOffset_;
        const std::int32_t line = model_.CaretLine();
        const std::int32_t top = TopLine();
        if (line < top || (line == top && vOffset_ % lh != 0)) {
            v = line * lh;
        } else if (caretY_ > ch - lh) {
            // The caret line becomes the last one shown, whole: with whole-line
            // scrolling the top goes down by whole lines far enough for that.
            if (model_.HasOption(rzoNoFineScroll))
                v = std::max(line - visibleLines_ + 2, 0) * lh;
            else
                v = line * lh + lh - ch;
        }
        if (v == vOffset_ && h == hOffset_) return;
        keepingCaret_ = true;
        ScrollTo(v, h);
        keepingCaret_ = false;
        UpdateCaret(false);
        if (model_.CaretLine() == line) return;
    }
}

void RIzuvAzaz::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    const int width = std::max(1, ClientWidth());
    visibleLines_ = ClientHeight() / lineHeight_ + 1;
    if (lineImage_.width() != width) {
        lineImage_ = QImage(width, lineHeight_, QImage::Format_RGB32);
        if (WordWrap() || model_.Alignment() != taLeftJustify) {
            // A caret on screen stays there while the lines above it take
            // their new lengths (a scroll bar that appears after the caret
            // was put on the last line shown would otherwise push it out).
            if (caretY_ >= 0 && caretY_ < ClientHeight()) followCaret_ = true;
            model_.RelayoutAll();
        }
    }
    UpdateScrollRanges();
    UpdateCaret(false);
    viewport()->update();
}

void RIzuvAzaz::PostBackgroundSlice() {
    if (slicePosted_) return;
    slicePosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            slicePosted_ = false;
            model_.BackgroundSlice();
            if (followCaret_) ScrollInView();
            if (!model_.BackgroundJobPending()) followCaret_ = false;
        },
        Qt::QueuedConnection);
}

} // namespace lorvane
