#include "components/TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

namespace lorvane {
namespace {

std::string CutTip(const std::string& text) {
    // Cut on a whole character: the tip is shown as UTF-8.
    if (text.size() <= TTrayIcon::kTipLength) return text;
    std::size_t end = TTrayIcon::kTipLength;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

std::uint8_t KeyboardShift() {
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    std::uint8_t shift = 0;
    if (keys & Qt::ShiftModifier) shift |= TTrayIcon::ssShift;
    if (keys & Qt::ControlModifier) shift |= TTrayIcon::ssCtrl;
    if (keys & Qt::AltModifier) shift |= TTrayIcon::ssAlt;
    return shift;
}

} // namespace

TTrayIcon::TTrayIcon(QWidget* window)
    : QObject(window), window_(window), icon_(QApplication::windowIcon()) {
    tip_ = CutTip(QApplication::applicationDisplayName().toStdString());
    tipShown_ = !tip_.empty();
    iconObject_ = std::make_unique<QSystemTrayIcon>(icon_);
    available_ = QSystemTrayIcon::isSystemTrayAvailable();
    ModifyIcon();
    connect(iconObject_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
    if (available_) iconObject_->show();
}

TTrayIcon::~TTrayIcon() {
    iconObject_->hide();
}

void TTrayIcon::ModifyIcon() {
    iconObject_->setIcon(icon_);
    iconObject_->setToolTip(tipShown_ ? QString::fromStdString(tip_) : QString());
}

void TTrayIcon::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    tip_ = CutTip(value);
    tipShown_ = !value.empty();
    ModifyIcon();
}

void TTrayIcon::SetTitle(const std::string& value) {
    // Title and hint share the one tip; the title leaves its flag alone.
    title_ = value;
    tip_ = CutTip(value);
    ModifyIcon();
}

void TTrayIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    ModifyIcon();
}

void TTrayIcon::Minimize() {
    visible = false;
    if (window_ && available_) window_->hide();
    if (OnMinimize) OnMinimize(this);
}

void TTrayIcon::Restore() {
    visible = true;
    if (window_) {
        // Back to the state before minimising: a maximised frame stays so.
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
    if (OnRestore) OnRestore(this);
}

void TTrayIcon::PopupAtCursor() {
    if (PopupMenu != nullptr && window_ && !window_->isVisible()) PopupMenu->popup(QCursor::pos());
}

void TTrayIcon::Click() {
    if (OnClick) OnClick(this);
}

void TTrayIcon::MouseMove(std::uint8_t shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TTrayIcon::MouseDown(TMouseButton button, std::uint8_t shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TTrayIcon::MouseUp(TMouseButton button, std::uint8_t shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TTrayIcon::HandleMouseMessage(std::uint16_t message) {
    const std::uint8_t shift = KeyboardShift();
    const QPoint at = QCursor::pos();
    auto doubleClick = [this](const NotifyEvent& which) {
        if (OnDblClick) OnDblClick(this);
        if (which) which(this);
    };
    switch (message) {
    case WmMouseMove:
        MouseMove(shift, at.x(), at.y());
        break;
    case WmLButtonDown:
        MouseDown(TMouseButton::Left, shift | ssLeft, at.x(), at.y());
        leftDown_ = true;
        break;
    case WmLButtonUp:
        // A press that left the icon before its release is no click; the
        // next release over the icon is.
        if (leftDown_) {
            leftDown_ = false;
            Click();
        }
        MouseUp(TMouseButton::Left, shift | ssLeft, at.x(), at.y());
        break;
    case WmLButtonDblClk:
        doubleClick(OnDblClickLeft);
        break;
    case WmRButtonDown:
        MouseDown(TMouseButton::Right, shift | ssRight, at.x(), at.y());
        PopupAtCursor();
        break;
    case WmRButtonUp:
        MouseUp(TMouseButton::Right, shift | ssRight, at.x(), at.y());
        break;
    case WmRButtonDblClk:
        doubleClick(OnDblClickRigth);
        break;
    case WmMButtonDown:
        MouseDown(TMouseButton::Middle, shift | ssMiddle, at.x(), at.y());
        break;
    case WmMButtonDblClk:
        doubleClick(OnDblClickMid);
        break;
    default:
        break;
    }
}

void TTrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
    // The desktop reports whole gestures, not single button messages; each
    // is replayed as the messages that make it up.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        HandleMouseMessage(WmLButtonDown);
        HandleMouseMessage(WmLButtonUp);
        break;
    case QSystemTrayIcon::DoubleClick:
        HandleMouseMessage(WmLButtonDblClk);
        HandleMouseMessage(WmLButtonUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        HandleMouseMessage(WmMButtonDown);
        HandleMouseMessage(WmMButtonUp);
        break;
    case QSystemTrayIcon::Context:
        HandleMouseMessage(WmRButtonDown);
        HandleMouseMessage(WmRButtonUp);
        break;
    default:
        break;
    }
}

} // namespace lorvane
