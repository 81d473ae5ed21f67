#include "app/CommandProgress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStatusBar>

#include <algorithm>

namespace lorvane {
namespace {

TCommandProgress* current = nullptr;
std::chrono::milliseconds showAfter{500};
// Often enough for a window that follows another window moved over it,
// seldom enough to cost nothing against the command's own work.
std::chrono::milliseconds pumpEvery{100};

} // namespace

TCommandProgress::TCommandProgress(QStatusBar* bar, QString caption)
    : bar_(bar), caption_(std::move(caption)), start_(Clock::now()), lastPump_(start_),
      outer_(current) {
    current = this;
}

TCommandProgress::~TCommandProgress() {
    current = outer_;
    if (shown_ && bar_) bar_->clearMessage();
}

void TCommandProgress::SetDelays(std::chrono::milliseconds showAfterNow,
                                 std::chrono::milliseconds pumpEveryNow) noexcept {
    showAfter = showAfterNow;
    pumpEvery = pumpEveryNow;
}

bool TCommandProgress::Running() noexcept {
    return current != nullptr;
}

void TCommandProgress::Report(int percent, bool mayPump) {
    if (current != nullptr) current->Step(percent, mayPump);
}

void TCommandProgress::Pump() {
    if (current != nullptr) current->Step(std::max(current->lastPercent_, 0), true);
}

void TCommandProgress::Step(int percent, bool mayPump) {
    const Clock::time_point now = Clock::now();
    percent = std::clamp(percent, 0, 100);
    const bool pump = mayPump && now - lastPump_ >= pumpEvery;
    if (bar_ && now - start_ >= showAfter && (!shown_ || percent != lastPercent_)) {
        shown_ = true;
        lastPercent_ = percent;
        bar_->showMessage(caption_ + QStringLiteral("… %1 %").arg(percent));
        if (!pump) bar_->repaint();
    }
    if (pump) {
        lastPump_ = now;
        // Paints, timers and posted events run; keys, clicks and the
        // sibling channel wait until the command is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers);
    }
}

} // namespace lorvane
