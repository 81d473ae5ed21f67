#include "app/CommandProgress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStatusBar>

#include <algorithm>

namespace lorvane {
namespace {

TCommandProgress* current = nullptr;
std::chrono::milliseconds showAfter{500};

// Often enough for a window that follows the pointer of a moving window
// over it, seldom enough to cost nothing against the command's own work.
constexpr std::chrono::milliseconds kPumpInterval{100};

} // namespace

TCommandProgress::TCommandProgress(QStatusBar* bar, QString caption)
    : bar_(bar), caption_(std::move(caption)), start_(Clock::now()), outer_(current) {
    current = this;
}

TCommandProgress::~TCommandProgress() {
    current = outer_;
    if (shown_ && bar_) bar_->clearMessage();
}

void TCommandProgress::SetShowAfter(std::chrono::milliseconds delay) noexcept {
    showAfter = delay;
}

bool TCommandProgress::Running() noexcept {
    return current != nullptr;
}

void TCommandProgress::Report(int percent, bool mayPump) {
    if (current != nullptr) current->Step(percent, mayPump);
}

void TCommandProgress::Step(int percent, bool mayPump) {
    const Clock::time_point now = Clock::now();
    if (now - start_ < showAfter || !bar_) return;
    percent = std::clamp(percent, 0, 100);
    const bool pumpDue = !shown_ || now - lastPump_ >= kPumpInterval;
    if (percent == lastPercent_ && !pumpDue) return;
    if (percent != lastPercent_ || !shown_) {
        lastPercent_ = percent;
        bar_->showMessage(caption_ + QStringLiteral("… %1 %").arg(percent));
    }
    shown_ = true;
    if (mayPump && pumpDue) {
        lastPump_ = now;
        ++pumps_;
        // Paints, timers and posted events run; keys, clicks and the
        // sibling channel wait until the command is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers);
    } else {
        bar_->repaint();
    }
}

} // namespace lorvane
