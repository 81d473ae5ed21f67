#include "app/ToolRun.h"
#include "app/CommandProgress.h"

#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/ProcessOutput.h"

#include <QEventLoop>

#include <cstdio>

namespace lorvane {
namespace {

using Clock = std::chrono::steady_clock;

// A short tool is seen to end at once; a program that runs for hours (a
// DOS box) is looked at rarely, as every wake-up runs the frame's idle pass.
int PollInterval(Clock::duration elapsed) {
    if (elapsed < std::chrono::milliseconds(500)) return 10;
    if (elapsed < std::chrono::seconds(10)) return 100;
    return 500;
}

} // namespace

TToolRun::TToolRun(const std::string& commandLine, QObject* parent)
    : QObject(parent), commandLine_(commandLine) {
    process_ = std::make_unique<process::CapturedProcess>(process::ResolveCompanion(
        process::SplitCommandLine(commandLine), paths::ProgramDirectory()));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
    timer_.start(PollInterval({}));
}

TToolRun::~TToolRun() = default;

bool TToolRun::Finished() const noexcept {
    return process_->Finished();
}
int TToolRun::ExitCode() const noexcept {
    return process_->ExitCode();
}
int TToolRun::TermSignal() const noexcept {
    return process_->TermSignal();
}
bool TToolRun::StopRequested() const noexcept {
    return process_->TerminateRequested();
}
Clock::duration TToolRun::Elapsed() const {
    return process_->Elapsed();
}

void TToolRun::Stop() noexcept {
    process_->Terminate();
    if (!timer_.isActive() || timer_.remainingTime() > 10) timer_.start(10);
}

void TToolRun::Check() {
    if (reported_) return;
    // The end is looked at before the output, so what the program wrote
    // just before it ended is read too.
    const bool ended = process_->Poll();
    if (std::string output = process_->ReadOutput(); !output.empty() && OnOutput) OnOutput(output);
    if (!ended) {
        timer_.start(process_->TerminateRequested() ? 50 : PollInterval(process_->Elapsed()));
        return;
    }
    // A command on a whole text lets timers run while it works; the end,
    // which may reopen the files the tool wrote, waits until it is over.
    if (TCommandProgress::Running()) {
        timer_.start(50);
        return;
    }
    reported_ = true;
    if (OnFinished) OnFinished(*this);
}

void TToolRun::Wait() {
    if (reported_) return;
    QEventLoop loop;
    const auto previous = OnFinished;
    OnFinished = [&loop, previous](TToolRun& run) {
        if (previous) previous(run);
        loop.quit();
    };
    loop.exec();
    OnFinished = previous;
}

std::string RunSummary(const TToolRun& run) {
    const double seconds = std::chrono::duration<double>(run.Elapsed()).count();
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", seconds);
    std::string shown = time;
    if (const auto dot = shown.find('.'); dot != std::string::npos) shown[dot] = ',';
    std::string what;
    if (run.ExitCode() < 0)
        what = "Завершено";
    else if (run.StopRequested() && run.TermSignal() != 0)
        what = "Остановлено";
    else if (run.TermSignal() != 0)
        what = "Прервано сигналом " + std::to_string(run.TermSignal());
    else
        what = "Код завершения " + std::to_string(run.ExitCode());
    return what + ", " + shown + " с";
}

} // namespace lorvane
