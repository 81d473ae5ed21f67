#pragma once
// Progress of a command that works on the whole text (open, save, the
// display modes, tabs and spaces, replace-all, printing): shown in the
// frame's status bar once the command has run for half a second. From the
// start the window gets to repaint every tenth of a second, so a long
// command on a huge text does not look like a hung program. No keys or
// clicks are taken in between: the command still owns the text until it
// ends.
#include "app/DocumentEditor.h"

#include <QPointer>
#include <QString>

#include <chrono>

class QStatusBar;

namespace lorvane {

class TCommandProgress {
public:
    TCommandProgress(QStatusBar* bar, QString caption);
    ~TCommandProgress();
    TCommandProgress(const TCommandProgress&) = delete;
    TCommandProgress& operator=(const TCommandProgress&) = delete;

    // Reports `percent` (0 to 100) of the innermost running command; no
    // command running, nothing happens. `mayPump`: the caller stands where
    // other events may run (no half-made change in any text), so the whole
    // window repaints; otherwise only the status bar does.
    static void Report(int percent, bool mayPump = true);
    // Lets the window's events run (when due) with the progress unchanged,
    // for work that cannot tell how far it is.
    static void Pump();

    // A command is running (events that start other work wait for its end).
    static bool Running() noexcept;

    // How long a command runs before its progress shows (half a second)
    // and how often the window runs its events (every tenth of a second);
    // tests set both to zero.
    static void SetDelays(std::chrono::milliseconds showAfter,
                          std::chrono::milliseconds pumpEvery) noexcept;

private:
    using Clock = std::chrono::steady_clock;
    void Step(int percent, bool mayPump);

    QPointer<QStatusBar> bar_;
    QString caption_;
    Clock::time_point start_;
    Clock::time_point lastPump_;
    int lastPercent_ = -1;
    bool shown_ = false;
    TCommandProgress* outer_;
};

// Holds the editor's update bracket, also when the work inside throws.
class TUpdateBracket {
public:
    explicit TUpdateBracket(TDocumentEditor& editor) : editor_(editor) { editor_.BeginUpdate(); }
    ~TUpdateBracket() { editor_.EndUpdate(); }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
    TDocumentEditor& editor_;
};

} // namespace lorvane
