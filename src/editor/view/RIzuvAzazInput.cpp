#include "editor/view/RIzuvAzazInput.h"

#include "editor/view/RIzuvAzazCursors.h"
#include "platform/CodePageTables.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QScrollBar>
#include <QWheelEvent>

#include <string>

namespace lorvane {

namespace {

// Keys that only type characters: above every key the control handles.
constexpr std::uint16_t kCharacterKey = 0xFF;

TMouseButton ButtonOf(Qt::MouseButton b) noexcept {
    if (b == Qt::RightButton) return TMouseButton::Right;
    if (b == Qt::MiddleButton) return TMouseButton::Middle;
    return TMouseButton::Left;
}

} // namespace

std::uint16_t VirtualKeyOf(int qtKey) noexcept {
    switch (qtKey) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Shift:
        return vk::Shift;
    case Qt::Key_Control:
        return vk::Control;
    case Qt::Key_Alt:
        return vk::Menu;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_PageUp:
        return vk::Prior;
    case Qt::Key_PageDown:
        return vk::Next;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    default:
        break;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<std::uint16_t>(qtKey);
    return kCharacterKey;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) noexcept {
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier) s |= ssShift;
    if (modifiers & Qt::AltModifier) s |= ssAlt;
    if (modifiers & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

QCursor DragCopyCursor() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        const QPolygon arrow{{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
        p.setPen(Qt::white);
        p.setBrush(Qt::black);
        p.drawPolygon(arrow);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(12, 18, 10, 10);
        p.drawLine(14, 23, 20, 23);
        p.drawLine(17, 20, 17, 26);
    }
    return QCursor(pixmap, 0, 0);
}

TInputHandler::TInputHandler(RIzuvAzaz& control)
    : c_(control), keyboard_(*this), scroller_(*this), mouse_(*this, keyboard_, scroller_) {
    keyboard_.Dragging = [this] { return mouse_.Dragging(); };
    keyboard_.ShowDragCursor = [this](bool copy) {
        if (pointerInside_) ShowCursor(copy ? TCursorShape::DragCopy : TCursorShape::DragMove);
    };
    mouse_.SetCursor = [this](TCursorShape s) { ShowCursor(s); };
    mouse_.AutoScrollChanged = [this] { AutoScrollChanged(); };
    mouse_.TakeFocus = [this] {
        if (!c_.hasFocus()) c_.setFocus(Qt::MouseFocusReason);
    };
    mouse_.ShowContextMenu = [this](int x, int y) { ShowMenu(x, y); };
    mouse_.Highlighter = [this] { return c_.Highlighter(); };
    mouse_.OnContext = [this](std::int32_t context, std::int32_t start, std::int32_t stop) {
        if (c_.OnContext) c_.OnContext(context, start, stop);
    };
    autoScroll_.setSingleShot(true);
    connect(&autoScroll_, &QTimer::timeout, this, [this] {
        mouse_.AutoScrollStep();
        if (mouse_.Direction() != 0) autoScroll_.start(mouse_.AutoScrollDelay());
    });
    connect(c_.verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { ScrollBarAction(true, action); });
    connect(c_.horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { ScrollBarAction(false, action); });
    c_.setAttribute(Qt::WA_InputMethodEnabled);
    c_.installEventFilter(this);
    c_.viewport()->installEventFilter(this);
    c_.viewport()->setMouseTracking(true);
}

TInputHandler::~TInputHandler() = default;

int TInputHandler::ClientWidth() const {
    return c_.viewport()->width();
}

int TInputHandler::ClientHeight() const {
    return c_.viewport()->height();
}

bool TInputHandler::ClipboardHasText() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() && !data->text().isEmpty();
}

void TInputHandler::ToggleCode(char code) {
    switch (code) {
    case 2:
        c_.ToggleBold();
        break;
    case 1:
        c_.ToggleItalic();
        break;
    case 21:
        c_.ToggleUnderline();
        break;
    case 3:
        c_.ToggleHighlight();
        break;
    case 4:
        c_.ToggleAltFont();
        break;
    default:
        break;
    }
}

void TInputHandler::RepaintNow() {
    c_.viewport()->repaint();
}

void TInputHandler::ShowCursor(TCursorShape shape) {
    QWidget* v = c_.viewport();
    switch (shape) {
    case TCursorShape::Normal:
        v->setCursor(Qt::IBeamCursor);
        break;
    case TCursorShape::Arrow:
        v->setCursor(Qt::ArrowCursor);
        break;
    case TCursorShape::RightArrow:
        v->setCursor(cursors::RightArrow());
        break;
    case TCursorShape::DragMove:
        v->setCursor(Qt::DragMoveCursor);
        break;
    case TCursorShape::DragCopy:
        v->setCursor(DragCopyCursor());
        break;
    case TCursorShape::NoDrop:
        v->setCursor(Qt::ForbiddenCursor);
        break;
    }
}

void TInputHandler::AutoScrollChanged() {
    if (mouse_.Direction() == 0)
        autoScroll_.stop();
    else if (!autoScroll_.isActive())
        autoScroll_.start(mouse_.AutoScrollDelay());
}

// The scroll bars' step and page actions follow the control's own rules
// (partial lines, the spare page at the end), so the bar's own move is
// cancelled and the scroller's applied instead.
void TInputHandler::ScrollBarAction(bool vertical, int action) {
    TScrollCode code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = TScrollCode::LineUp;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = TScrollCode::LineDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = TScrollCode::PageUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = TScrollCode::PageDown;
        break;
    default:
        return;
    }
    QScrollBar* bar = vertical ? c_.verticalScrollBar() : c_.horizontalScrollBar();
    bar->setSliderPosition(bar->value());
    if (vertical)
        scroller_.VScroll(code);
    else
        scroller_.HScroll(code);
}

void TInputHandler::ShowMenu(int x, int y) {
    if (c_.contextMenuPolicy() != Qt::DefaultContextMenu) return;
    if (!menu_) {
        menu_ = new QMenu(&c_); // owned by the control as its child
        menu_->addAction(QString::fromUtf8("&Undo"), &c_, [this] { c_.Undo(); });
        menu_->addAction(QString::fromUtf8("&Redo"), &c_, [this] { c_.Redo(); });
        menu_->addSeparator();
        menu_->addAction(QString::fromUtf8("Cu&t"), &c_, [this] { c_.CutToClipboard(); });
        menu_->addAction(QString::fromUtf8("&Copy"), &c_, [this] { c_.CopyToClipboard(); });
        menu_->addAction(QString::fromUtf8("&Paste"), &c_, [this] { c_.PasteFromClipboard(); });
        menu_->addSeparator();
        menu_->addAction(QString::fromUtf8("&Select all"), &c_, [this] { c_.SelectAll(); });
    }
    const QList<QAction*> items = menu_->actions();
    const bool selection = c_.SelLength() != 0 || c_.BlockSelection();
    const bool editable = !c_.ReadOnly() && !c_.DisplayOnly();
    items[0]->setEnabled(c_.CanUndo());
    items[1]->setEnabled(c_.CanRedo());
    items[3]->setEnabled(selection && editable);
    items[4]->setEnabled(selection);
    items[5]->setEnabled(editable && ClipboardHasText());
    items[7]->setEnabled(true);
    // Shown without a nested loop, so nothing waits on it.
    menu_->popup(c_.viewport()->mapToGlobal(QPoint(x, y)));
}

bool TInputHandler::Key(QKeyEvent& e) {
    std::uint16_t key = VirtualKeyOf(e.key());
    const TShiftState shift = ShiftStateOf(e.modifiers());
    keyboard_.KeyDown(key, shift);
    if (key == 0) return true;
    // What the key types: control characters for Enter and Ctrl+letters,
    // else the text in Windows-1251 (characters it lacks are not typed).
    std::string chars;
    if (key == vk::Return) {
        chars = "\r";
    } else if ((shift & ssCtrl) && !(shift & ssAlt) && key >= 'A' && key <= 'Z') {
        chars.push_back(static_cast<char>(key - 'A' + 1));
    } else if (key == kCharacterKey || (key >= '0' && key <= 'Z')) {
        if (shift & (ssCtrl | ssAlt)) return false;
        chars = cp::EncodeFromUtf8(cp::CodePage::Win1251, e.text().toUtf8().toStdString(), 0);
    } else {
        return false; // keys given back go on to the window's default handling
    }
    if (chars.empty()) return false;
    for (const char ch : chars)
        keyboard_.KeyPress(static_cast<unsigned char>(ch));
    return true;
}

bool TInputHandler::KeyRelease(QKeyEvent& e) {
    if (e.isAutoRepeat()) return false;
    std::uint16_t key = VirtualKeyOf(e.key());
    keyboard_.KeyUp(key, ShiftStateOf(e.modifiers()));
    return false;
}

bool TInputHandler::eventFilter(QObject* watched, QEvent* event) {
    const bool handled = Filter(watched, event);
    // Whatever the event did to the selection shows at the next paint.
    if (handled) c_.InvalidateSelectionChange();
    return handled;
}

bool TInputHandler::Filter(QObject* watched, QEvent* event) {
    if (watched == &c_) {
        if (event->type() == QEvent::InputMethod) {
            // Compose sequences and on-screen keyboards: what they commit
            // arrives as typed characters.
            auto& im = static_cast<QInputMethodEvent&>(*event);
            if (c_.Model().UpdateCount() > 0 || im.commitString().isEmpty()) return false;
            const std::string chars = cp::EncodeFromUtf8(
                cp::CodePage::Win1251, im.commitString().toUtf8().toStdString(), 0);
            for (const char ch : chars)
                keyboard_.KeyPress(static_cast<unsigned char>(ch));
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto& k = static_cast<QKeyEvent&>(*event);
            if (c_.Model().UpdateCount() > 0) return true;
            return Key(k);
        }
        if (event->type() == QEvent::KeyRelease) return KeyRelease(static_cast<QKeyEvent&>(*event));
        return false;
    }
    if (watched != c_.viewport()) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto& m = static_cast<QMouseEvent&>(*event);
        const QPoint p = m.position().toPoint();
        mouse_.MouseDown(ButtonOf(m.button()), ShiftStateOf(m.modifiers(), m.buttons()), p.x(),
                         p.y());
        if (m.button() == Qt::MiddleButton) c_.PastePrimarySelection(p);
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        auto& m = static_cast<QMouseEvent&>(*event);
        const QPoint p = m.position().toPoint();
        if (m.button() == Qt::LeftButton) mouse_.DoubleClick(p.x(), p.y());
        mouse_.MouseDown(ButtonOf(m.button()), ShiftStateOf(m.modifiers(), m.buttons()) | ssDouble,
                         p.x(), p.y());
        return true;
    }
    case QEvent::MouseMove: {
        auto& m = static_cast<QMouseEvent&>(*event);
        const QPoint p = m.position().toPoint();
        pointerInside_ = c_.viewport()->rect().contains(p);
        mouse_.MouseMove(ShiftStateOf(m.modifiers(), m.buttons()), p.x(), p.y());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto& m = static_cast<QMouseEvent&>(*event);
        const QPoint p = m.position().toPoint();
        mouse_.MouseUp(ButtonOf(m.button()), ShiftStateOf(m.modifiers(), m.buttons()), p.x(),
                       p.y());
        return true;
    }
    case QEvent::Wheel: {
        auto& w = static_cast<QWheelEvent&>(*event);
        QPoint delta = w.angleDelta();
        // Shift turns the wheel sideways, where the platform has not already.
        if ((w.modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = QPoint(delta.y(), 0);
        if (delta.x() != 0) scroller_.HorizontalWheel(delta.x(), c_.MouseWheelFactor());
        if (delta.y() != 0) scroller_.Wheel(delta.y(), c_.MouseWheelFactor());
        return true;
    }
    case QEvent::Enter:
        pointerInside_ = true;
        return false;
    case QEvent::Leave:
        pointerInside_ = false;
        return false;
    default:
        return false;
    }
}

} // namespace lorvane
