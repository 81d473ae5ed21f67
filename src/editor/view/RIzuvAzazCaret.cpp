// The caret: its shape (fixed, automatic or as wide as the character it
// stands on in overwrite mode), its place on screen, and the events that
// report a moved caret or a changed style there. The control draws the
// caret itself, over the painted text.
#include "editor/view/RIzuvAzaz.h"

#include <QApplication>

#include <algorithm>

namespace lorvane {

int RIzuvAzaz::CaretWidthFor(bool wide) {
    if (wide && caretCharWidth_ > 0) return caretCharWidth_;
    return caretWidth_ > 0 ? caretWidth_ : lineHeight_ / 14 + 1;
}

void RIzuvAzaz::UpdateCaret(bool recreate) {
    if (model_.UpdateCount() > 0) return;
    TNavigator& caret = model_.Caret();
    const std::int32_t index = caret.ParagraphIndex();
    if (!model_.ParagraphAt(index)->laidOut) model_.LayoutRange(index, index, false);
    ParagraphInfo* p = caret.Paragraph();
    const std::int32_t k = caret.LineInParagraph();
    const LineInfo& line = *caret.Lines().At(k);
    const std::int32_t offset = caret.ParagraphOffset();

    const QRect oldRect(caretX_, caretY_, caretShapeWidth_, caretShapeHeight_);
    caretX_ = PosToX(p, index, offset - line.start, k) + virtualSpaces_ * spaceWidth_;
    caretY_ = LineToY(caret.LineNumber() - TopLine());
    const bool wide = SelLength() == 0 && overwrite_ && model_.HasOption(rzoWideOverwriteCaret) &&
                      offset < p->length;
    if (recreate || wide || caretShapeWidth_ != CaretWidthFor(false)) {
        caretShapeWidth_ = CaretWidthFor(wide);
        caretShapeHeight_ = lineHeight_;
    }
    if (WordWrap() && caretX_ >= lineImage_.width()) caretX_ = lineImage_.width() - 1;
    if (caretCreated_) {
        // A caret that moved shows at once; the blink starts again from there.
        caretOn_ = true;
        if (caretTimer_.isActive())
            caretTimer_.start(std::max(1, QApplication::cursorFlashTime() / 2), this);
        InvalidateRect(oldRect);
        InvalidateRect(QRect(caretX_, caretY_, caretShapeWidth_, caretShapeHeight_));
    }

    InvalidateSelectionChange();

    const int style = model_.CaretStyle();
    const std::int32_t pos = caret.Position();
    if (pos != lastCaretPos_) {
        lastCaretPos_ = pos;
        if (OnSelMove) OnSelMove();
    }
    if (style != lastStyle_) {
        lastStyle_ = style;
        if (OnStyleChange) OnStyleChange();
    }
}

} // namespace lorvane
