#include "components/RegControls.h"

#include "platform/ErrorHandler.h"
#include "platform/Registry.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>

namespace lorvane {
namespace {

constexpr std::uint8_t kStateNormal = 0;
constexpr std::uint8_t kStateMinimized = 1;
constexpr std::uint8_t kStateMaximized = 2;
// Bounds a window can really have; anything else in the registry was not
// written by us and is not applied.
constexpr std::int32_t kLargestExtent = 32767;

RootKey RootOf(TRegLocation location) noexcept {
    return location == TRegLocation::LocalMachine ? RootKey::LocalMachine : RootKey::CurrentUser;
}

std::uint8_t StateOf(const QWidget& form) noexcept {
    if (form.isMinimized()) return kStateMinimized;
    if (form.isMaximized()) return kStateMaximized;
    return kStateNormal;
}

// A top-level window is moved by its outer corner (the window manager's
// frame included) but reports its inner one: storing the inner corner
// would move the window down and right by its title bar at every start.
QPoint StoredCorner(const QWidget& form) {
    if (form.isWindow() && !qobject_cast<const QMdiSubWindow*>(&form))
        return form.frameGeometry().topLeft();
    return form.geometry().topLeft();
}

void WritePlacement(TRegistry& registry, const QWidget& form) {
    const QRect bounds = form.geometry();
    const QPoint corner = StoredCorner(form);
    registry.WriteInteger("RCLeft", corner.x());
    registry.WriteInteger("RCTop", corner.y());
    registry.WriteInteger("RCWidth", bounds.width());
    registry.WriteInteger("RCHeight", bounds.height());
    const std::uint8_t state = StateOf(form);
    registry.WriteBinaryData("RCWindowState", &state, 1);
}

// A top-level window restored where no screen is any more (a monitor
// unplugged, a smaller resolution) could never be reached: it is brought
// back onto the nearest screen.
void KeepOnScreen(QWidget& form) {
    if (!form.isWindow() || qobject_cast<QMdiSubWindow*>(&form)) return;
    const QRect frame = form.geometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(frame)) return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    form.move(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - 100)),
              std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - 100)));
}

// A window manager maps a window that asks to start minimised as a normal
// one; the state is applied once the window is on the screen.
class MinimiseWhenShown final : public QObject {
public:
    explicit MinimiseWhenShown(QWidget* form) : QObject(form) { form->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* form = static_cast<QWidget*>(watched);
            form->removeEventFilter(this);
            QTimer::singleShot(0, form, [form] { form->showMinimized(); });
            deleteLater();
        }
        return false;
    }
};

} // namespace

TRegForm::TRegForm(QWidget* form, CloseQueryEvent previous)
    : form_(form), previous_(std::move(previous)) {}

void TRegForm::SetRegKey(std::string_view key) {
    if (key.empty() || key == key_) return;
    if (key.back() == '\\') key.remove_suffix(1);
    key_ = std::string(key);
}

void TRegForm::SetRegLocation(TRegLocation location) {
    if (location == location_) return;
    location_ = location;
    if (!form_) return;
    for (RootKey root : {RootKey::CurrentUser, RootKey::LocalMachine}) {
        try {
            TRegistry(root).DeleteKey(key_);
        } catch (const std::exception&) {
        }
    }
    Save();
}

void TRegForm::Loaded() {
    if (enabled_) Restore();
}

void TRegForm::Restore() {
    if (!form_) return;
    try {
        TRegistry registry(RootOf(location_));
        if (!registry.OpenKey(key_, false)) return;
        std::uint8_t state = 0;
        registry.ReadBinaryData("RCWindowState", &state, 1);
        restored_ = true;
        if (state == kStateMinimized && !form_->isVisible()) {
            form_->setWindowState(Qt::WindowNoState);
            new MinimiseWhenShown(form_);
        } else if (state == kStateMinimized)
            form_->setWindowState(Qt::WindowMinimized);
        else if (state == kStateMaximized)
            form_->setWindowState(Qt::WindowMaximized);
        else
            form_->setWindowState(Qt::WindowNoState);
        if (state == kStateMaximized) return;
        // Each bound is applied as soon as it is read; a failing read keeps
        // the rest as designed.
        const std::int32_t left = registry.ReadInteger("RCLeft");
        if (std::abs(left) > kLargestExtent) return;
        form_->move(left, form_->y());
        const std::int32_t top = registry.ReadInteger("RCTop");
        if (std::abs(top) > kLargestExtent) return;
        form_->move(form_->x(), top);
        const std::int32_t width = registry.ReadInteger("RCWidth");
        if (width <= 0 || width > kLargestExtent) return;
        form_->resize(width, form_->height());
        const std::int32_t height = registry.ReadInteger("RCHeight");
        if (height <= 0 || height > kLargestExtent) return;
        form_->resize(form_->width(), height);
    } catch (const std::exception&) {
        // Nothing stored, or stored by someone else: the design stays.
    }
    KeepOnScreen(*form_);
}

void TRegForm::Save() {
    if (!form_) return;
    try {
        TRegistry registry(RootOf(location_));
        if (registry.OpenKey(key_, true)) WritePlacement(registry, *form_);
    } catch (const std::exception&) {
        // A placement that cannot be stored is not worth a message.
    }
}

void TRegForm::CloseQuery(bool& canClose) {
    if (previous_) previous_(form_, canClose);
    if (!enabled_ || !canClose) return;
    try {
        Save();
    } catch (const std::exception& error) {
        TApplication::HandleException(error.what());
    }
}

} // namespace lorvane
