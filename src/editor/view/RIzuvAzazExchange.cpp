// Text that comes from or goes to other programs outside the clipboard
// commands: text dropped on the control, the X11 primary selection (what is
// selected is offered at once; a middle click pastes it at the pointer),
// and where the caret stands for input methods.
#include "editor/view/RIzuvAzaz.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimerEvent>
#include <QUrl>

#include <memory>

namespace lorvane {

namespace {
// The primary selection follows a drag only once it stops for a moment, so
// a long selection is not converted again at every mouse move.
constexpr int kPrimaryDelayMs = 150;
} // namespace

void RIzuvAzaz::InsertForeignText(QPoint at, const QString& text, bool selectIt) {
    const std::string bytes = FromForeignText(text);
    if (bytes.empty() || model_.UpdateCount() > 0 || readOnly_ || displayOnly_) return;
    const std::int32_t pos = PositionAt(at);
    model_.EndTypingGroup();
    SetSelStart(pos);
    SetSelText(bytes); // one change: one Undo takes it back
    model_.EndTypingGroup();
    if (selectIt) {
        const std::int32_t end = SelStart();
        SetSelStart(pos);
        SetSelLength(end - pos);
    }
    UpdateCaret(false);
    ScrollInView();
}

void RIzuvAzaz::PastePrimarySelection(QPoint at) {
    const QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection()) return;
    InsertForeignText(at, clipboard->text(QClipboard::Selection), false);
}

void RIzuvAzaz::SelectionMayHaveChanged() {
    if (SelLength() != 0 || blockActive_) primaryTimer_.start(kPrimaryDelayMs, this);
}

void RIzuvAzaz::OfferPrimarySelection() {
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection() || (SelLength() == 0 && !blockActive_)) return;
    auto data = std::make_unique<QMimeData>();
    data->setText(ToForeignText(SelText()));
    clipboard->setMimeData(data.release(), QClipboard::Selection);
}

// Files dropped on a document are for the frame to open: the control lets
// such a drag pass to its parent, whatever text the file manager adds.
bool RIzuvAzaz::AcceptsDrop(const QMimeData* data) const {
    if (!data || readOnly_ || displayOnly_ || model_.UpdateCount() > 0) return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return false;
    return data->hasText();
}

void RIzuvAzaz::dragEnterEvent(QDragEnterEvent* e) {
    if (AcceptsDrop(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void RIzuvAzaz::dragMoveEvent(QDragMoveEvent* e) {
    if (AcceptsDrop(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void RIzuvAzaz::dropEvent(QDropEvent* e) {
    if (!AcceptsDrop(e->mimeData())) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    setFocus(Qt::MouseFocusReason);
    // Dropped at the pointer and selected, as a drop of our own text is.
    InsertForeignText(e->position().toPoint(), e->mimeData()->text(), true);
}

QVariant RIzuvAzaz::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return !readOnly_ && !displayOnly_;
    case Qt::ImCursorRectangle:
        return QRect(viewport()->mapTo(this, QPoint(caretX_, caretY_)),
                     QSize(caretShapeWidth_, caretShapeHeight_));
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

} // namespace lorvane
