#include "components/JustOne.h"

#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

namespace lorvane {

TXJustOne::TXJustOne(QObject* owner) : QObject(owner) {}

TXJustOne::~TXJustOne() = default;

void TXJustOne::Loaded() {
    if (loaded_) return;
    loaded_ = true;
    // The lock is named after at most 255 characters of the title, so a
    // long title names the same lock in every start.
    title_ = QCoreApplication::applicationName().left(255).toStdString();
    lock_ = std::make_unique<InstanceLock>(title_, this);
    first_ = lock_->IsFirst();
    if (first_) {
        connect(lock_.get(), &InstanceLock::ComeForwardRequested, this, &TXJustOne::ComeForward);
        connect(lock_.get(), &InstanceLock::FileHandedOver, this, [this](const QByteArray& name) {
            if (onHandOver_) onHandOver_(name.toStdString());
        });
        return;
    }
    // The handler stores the command line before the first instance is
    // called forward, so the first finds it when it wakes up; the name also
    // goes with the request, since several starts at one moment would
    // overwrite each other's stored line.
    if (alreadyExist_) alreadyExist_(this);
    lock_->Request(handOverName_, switchToPrevious_);
    // exit() only acts on a running loop; queued, it ends the loop the
    // moment it starts.
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
}

void TXJustOne::ComeForward() {
    auto* owner = qobject_cast<QWidget*>(parent());
    if (!owner) return;
    QWidget* window = owner->window();
    // Restoring keeps a maximised frame maximised.
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    if (!window->isVisible()) window->show();
    window->raise();
    window->activateWindow();
}

} // namespace lorvane
