// Painting: every display line is drawn into an image one line high and
// then copied to the window, so a repaint never shows half-drawn lines and
// needs memory for one line only.
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazLine.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace lorvane {

namespace {

bool IsColour(std::uint32_t c) noexcept {
    const auto v = static_cast<TColor>(c);
    return v != clNone && v != clDefault;
}

Qt::PenStyle QtPenStyle(TPenStyle s) noexcept {
    switch (s) {
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    case psSolid:
        break;
    }
    return Qt::SolidLine;
}

} // namespace

// Draws one display line into the line image.
class TLinePainter {
public:
    TLinePainter(RIzuvAzaz& c) : c_(c), m_(c.model_) {}

    void Paint(std::int32_t index, std::int32_t k, std::int32_t line) {
        ParagraphInfo& p = *m_.ParagraphAt(index);
        const LineInfo& info = *TLinesList(&p).At(k);
        const bool last = k == p.lineCount - 1;
        const int lh = c_.lineHeight_;
        QImage& image = c_.lineImage_;
        QPainter lp(&image);
        const QRect all = image.rect();

        if (!c_.backgroundBmp_.isNull() && c_.backgroundBmp_.width() > 0 &&
            c_.backgroundBmp_.height() > 0) {
            // Tiled so that the picture scrolls with the text.
            const QPixmap& bmp = c_.backgroundBmp_;
            lp.drawTiledPixmap(
                all, bmp,
                QPoint(c_.hOffset_ % bmp.width(),
                       static_cast<int>((static_cast<std::int64_t>(lh) * line) % bmp.height())));
        } else {
            lp.fillRect(all, c_.ColorOf(c_.color_));
        }

        const int origin = c_.LineOrigin(p, info, last) - c_.hOffset_;
        const bool stretch = c_.justified_ && !last;
        const int available = c_.ClientWidth() - c_.LeftMargin() - c_.RightMargin();
        // Blanks that end a wrapped line are not drawn.
        std::int32_t visibleEnd = info.end;
        if (!last)
            while (visibleEnd > info.start &&
                   (p.text[visibleEnd - 1] == ' ' || p.text[visibleEnd - 1] == '\t'))
                --visibleEnd;
        const auto xAt = [&](std::int32_t offset) {
            TLineWalker w(p, info, c_.device_, m_.StaticFormat(), c_.TabStops() * c_.spaceWidth_,
                          c_.chunkLength_, stretch, available);
            w.SetLimit(offset);
            TLineRun r;
            while (w.Next(r)) {
            }
            return origin + w.X();
        };

        // The selection span on this line.
        QRect span;
        bool endMark = false;
        int endMarkX = 0;
        const bool selShown =
            (m_.SelLength() != 0 || c_.blockActive_) && (!c_.hideSelection_ || c_.hasFocus());
        if (selShown) {
            const std::int32_t ps = m_.StartAt(index);
            const std::int32_t s = m_.SelStartNavigator().Position();
            const std::int32_t e = m_.SelStopNavigator().Position();
            if (c_.blockActive_) {
                const std::int32_t a = m_.FindParagraph(s), b = m_.FindParagraph(e);
                if (index >= a && index <= b) {
                    const int x1 = c_.spaceWidth_ * c_.blockLeft_ - c_.hOffset_ + c_.LeftMargin();
                    const int x2 = c_.spaceWidth_ * c_.blockRight_ - c_.hOffset_ + c_.LeftMargin();
                    span = QRect(QPoint(x1, 0), QPoint(x2 - 1, lh - 1));
                }
            } else {
                const std::int32_t lineStart = ps + info.start;
                // The line break after the paragraph counts as part of its last line.
                const std::int32_t lineStop = ps + info.end + (last ? 2 : 0);
                if (s < lineStop && e > lineStart && !(s == lineStop && e > s)) {
                    const int x1 = s <= lineStart ? origin : xAt(s - ps);
                    int x2;
                    const bool past = last ? e > ps + info.end : e >= ps + info.end;
                    if (past) {
                        x2 = m_.HasOption(rzoFullLineSelect)
                                 ? all.width()
                                 : origin + LineWidth(p, info, stretch, available);
                        if (last && c_.showEndParSelected_ && !m_.HasOption(rzoFullLineSelect)) {
                            endMark = true;
                            endMarkX = x2;
                        }
                    } else {
                        x2 = xAt(e - ps);
                    }
                    if (x2 > x1) span = QRect(QPoint(x1, 0), QPoint(x2 - 1, lh - 1));
                }
            }
        }
        const bool winColours = m_.HasOption(rzoWindowsSelColors);
        if (winColours && !span.isEmpty()) lp.fillRect(span, c_.ColorOf(c_.selBackColor_));

        // Text outside the selection in its own colours, then inside it in
        // the selection's text colour.
        QRegion outside(all);
        if (winColours && !span.isEmpty()) outside -= span;
        lp.setClipRegion(outside);
        DrawRuns(lp, p, info, visibleEnd, origin, stretch, available, false);
        if (winColours && !span.isEmpty()) {
            lp.setClipRect(span);
            DrawRuns(lp, p, info, visibleEnd, origin, stretch, available, true);
        }
        lp.setClipping(false);

        QRect mark;
        if (endMark) mark = QRect(endMarkX, lh / 3, c_.spaceWidth_ / 2 + 1, lh / 3);
        if (winColours) {
            if (!mark.isEmpty()) lp.fillRect(mark, c_.ColorOf(c_.selBackColor_));
        } else {
            lp.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            if (!span.isEmpty()) lp.fillRect(span, Qt::white);
            if (!mark.isEmpty()) lp.fillRect(mark, Qt::white);
            lp.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }

private:
    int LineWidth(ParagraphInfo& p, const LineInfo& info, bool stretch, int available) {
        TLineWalker w(p, info, c_.device_, m_.StaticFormat(), c_.TabStops() * c_.spaceWidth_,
                      c_.chunkLength_, stretch, available);
        TLineRun r;
        while (w.Next(r)) {
        }
        return w.X();
    }

    void DrawRuns(QPainter& lp, ParagraphInfo& p, const LineInfo& info, std::int32_t visibleEnd,
                  int origin, bool stretch, int available, bool selected) {
        TLineWalker w(p, info, c_.device_, m_.StaticFormat(), c_.TabStops() * c_.spaceWidth_,
                      c_.chunkLength_, stretch, available);
        w.SetLimit(visibleEnd);
        const int lh = c_.lineHeight_;
        const int right = c_.lineImage_.width();
        const int baseline = c_.baseline_;
        const QColor fontColour = c_.ColorOf(c_.fontColor_);
        TLineRun run;
        while (w.Next(run)) {
            const int x = origin + run.x;
            if (x >= right) break;
            if (run.kind == TLineRun::Code) continue;
            if (x + run.width < -16383) continue; // far left: measured only
            QColor text = fontColour;
            QColor back;
            if (run.style & 0x10) {
                text = c_.ColorOf(c_.highlightColor_);
                back = c_.ColorOf(c_.highlightBackgnd_);
            }
            const AttrInfo& state = *run.state;
            if (state.flags & 0x80) {
                if (IsColour(state.color1)) text = c_.ColorOf(static_cast<TColor>(state.color1));
                if (IsColour(state.color2)) back = c_.ColorOf(static_cast<TColor>(state.color2));
            }
            if (selected) {
                text = c_.ColorOf(c_.selTextColor_);
                back = QColor();
            }
            if (back.isValid()) lp.fillRect(QRect(x, 0, run.width, lh), back);
            if (run.kind == TLineRun::Text) {
                lp.setFont(c_.device_.FontFor(run.style & 0x2F));
                lp.setPen(text);
                lp.drawText(QPoint(x, baseline),
                            c_.device_.ToQString(p.text + run.from, run.to - run.from));
            }
            if ((run.style & 0x80) && !selected) Zigzag(lp, x, run.width);
        }
    }

    // The special underline: a zigzag one pixel below the baseline.
    void Zigzag(QPainter& lp, int x, int width) {
        if (c_.specUnderline_.color == -1 || c_.specUnderline_.style == psClear) return;
        const int y = c_.baseline_ + 1;
        QPolygon points;
        bool down = true;
        for (int at = std::max(x, -32768); at <= std::min(x + width, 32767); at += 2) {
            points << QPoint(at, down ? y : y + 2);
            down = !down;
        }
        if (points.size() < 2) return;
        QPen pen(c_.ColorOf(c_.specUnderline_.color));
        pen.setWidth(1);
        lp.setPen(pen);
        lp.drawPolyline(points);
    }

    RIzuvAzaz& c_;
    RIzuvAzazModel& m_;
};

void RIzuvAzaz::InvalidateSelectionChange() {
    if (model_.UpdateCount() > 0) return;
    TNavigator& from = model_.SelStartNavigator();
    TNavigator& to = model_.SelStopNavigator();
    const bool shown =
        (from.Position() != to.Position() || blockActive_) && (!hideSelection_ || hasFocus());
    const std::int32_t left = blockActive_ ? blockLeft_ : 0;
    const std::int32_t right = blockActive_ ? blockRight_ : 0;
    if (shown == shownAny_ &&
        (!shown ||
         (from.Position() == shownFrom_.Position() && to.Position() == shownTo_.Position() &&
          blockActive_ == shownBlock_ && left == shownLeft_ && right == shownRight_)))
        return;
    if (shownAny_) InvalidateLines(shownFrom_.LineNumber(), shownTo_.LineNumber());
    if (shown) InvalidateLines(from.LineNumber(), to.LineNumber());
    shownFrom_.Assign(from);
    shownTo_.Assign(to);
    shownLeft_ = left;
    shownRight_ = right;
    shownBlock_ = blockActive_;
    shownAny_ = shown;
    SelectionMayHaveChanged();
}

void RIzuvAzaz::InvalidateRect(const QRect& r) {
    if (painting_)
        paintedLate_ += r;
    else
        viewport()->update(r);
}

void RIzuvAzaz::paintEvent(QPaintEvent* e) {
    QPainter target(viewport());
    // Half-done edits and layout passes are never shown; the change
    // completion repaints what is invalid now.
    if (model_.UpdateCount() > 0) return;
    painting_ = true;
    SettleView();
    PaintLines(target, e->rect());
    painting_ = false;
    // Laying out what the picture needs may have moved text or the caret
    // outside this region. An update asked for while painting is lost, so
    // it is asked for once this paint is over.
    const QRegion rest = paintedLate_ - e->region();
    paintedLate_ = QRegion();
    if (!rest.isEmpty())
        QMetaObject::invokeMethod(
            viewport(), [v = viewport(), rest] { v->update(rest); }, Qt::QueuedConnection);
}

// Lays out the paragraphs of the top line, of the lines shown and of the
// caret before any position is taken from them: laying out a paragraph
// above the view, or the top one, changes the top line's number (the text
// at the top stays), and a paragraph above the caret moves the caret.
void RIzuvAzaz::SettleView() {
    for (int round = 0; round < 8; ++round) {
        const int v = vOffset_;
        const QPoint caret(caretX_, caretY_);
        const std::int32_t i = model_.TopLineNavigator().ParagraphIndex();
        if (!model_.ParagraphAt(i)->laidOut) model_.LayoutRange(i, i, false);
        model_.SeekDisplayLine(paintNav_, TopLine() + visibleLines_);
        UpdateScrollRanges();
        UpdateCaret(false);
        if (v == vOffset_ && caret == QPoint(caretX_, caretY_)) return;
    }
}

void RIzuvAzaz::PaintLines(QPainter& target, const QRect& area) {
    const int lh = lineHeight_;
    const std::int32_t top = TopLine();
    const std::int32_t first = std::max(0, top + YToLine(area.top()));
    const std::int32_t lastWanted = top + YToLine(area.bottom());
    if (lineImage_.width() != std::max(1, ClientWidth()) || lineImage_.height() != lh)
        lineImage_ = QImage(std::max(1, ClientWidth()), lh, QImage::Format_RGB32);

    TLinePainter painter(*this);
    std::int32_t line = first;
    int nextY = LineToY(first - top);
    if (first < model_.LineCount()) {
        model_.ScanStartStopUpTo(0);
        model_.SeekDisplayLine(paintNav_, first);
        std::int32_t index = paintNav_.ParagraphIndex();
        std::int32_t k = paintNav_.LineInParagraph();
        line = paintNav_.LineNumber();
        nextY = LineToY(line - top);
        const std::int32_t count = model_.ParagraphCount();
        while (line <= lastWanted && index < count) {
            ParagraphInfo* p = model_.ParagraphAt(index);
            if (!p->laidOut) {
                model_.LayoutRange(index, index, false);
                p = model_.ParagraphAt(index);
            }
            if (k >= p->lineCount) {
                ++index;
                k = 0;
                continue;
            }
            painter.Paint(index, k, line);
            target.drawImage(0, nextY, lineImage_);
            nextY += lh;
            ++line;
            ++k;
        }
    }
    // Below the text: the background alone.
    if (nextY <= area.bottom()) {
        const QRect rest(0, nextY, ClientWidth(), area.bottom() - nextY + 1);
        if (!backgroundBmp_.isNull() && backgroundBmp_.width() > 0 && backgroundBmp_.height() > 0)
            target.drawTiledPixmap(rest, backgroundBmp_,
                                   QPoint(hOffset_ % backgroundBmp_.width(),
                                          (vOffset_ + nextY) % backgroundBmp_.height()));
        else
            target.fillRect(rest, ColorOf(color_));
    }
    // The end-of-text mark under the last line.
    const std::int32_t lastLine = model_.LineCount() - 1;
    if (endOfTextMark_.color != -1 && endOfTextMark_.style != psClear && lastLine >= first &&
        lastLine < line) {
        QPen pen(ColorOf(endOfTextMark_.color));
        pen.setWidth(std::max(1, endOfTextMark_.width));
        pen.setStyle(QtPenStyle(endOfTextMark_.style));
        target.setPen(pen);
        const int y = static_cast<int>(static_cast<std::int64_t>(model_.LineCount()) * lh -
                                       vOffset_ + endOfTextMark_.width / 2);
        target.drawLine(0, y, ClientWidth(), y);
    }
    if (caretCreated_ && caretOn_) {
        target.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        target.fillRect(QRect(caretX_, caretY_, caretShapeWidth_, caretShapeHeight_), Qt::white);
        target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

} // namespace lorvane
