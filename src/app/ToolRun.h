#pragma once
// One run of a build tool whose output the messages pane shows: the
// command line split into words and started without a shell, its output
// read as it comes, its end noticed without blocking the frame.
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lorvane {

namespace process {
class CapturedProcess;
}

class TToolRun : public QObject {
    Q_OBJECT
public:
    // Starts the program; a bare "lorvane-..." name is the wrapper beside
    // the editor. Raises ProcessError when it cannot be started.
    TToolRun(const std::string& commandLine, QObject* parent = nullptr);
    ~TToolRun() override;

    const std::string& CommandLine() const noexcept { return commandLine_; }
    bool Finished() const noexcept;
    int ExitCode() const noexcept;
    int TermSignal() const noexcept;
    bool StopRequested() const noexcept;
    std::chrono::steady_clock::duration Elapsed() const;

    // Output as it comes (raw bytes), and the end, reported once, after
    // the last output.
    std::function<void(std::string_view)> OnOutput;
    std::function<void(TToolRun&)> OnFinished;

    // Ends the program and what it started; it is killed if it is still
    // there two seconds later.
    void Stop() noexcept;
    // Serves events until the program has ended.
    void Wait();

private:
    void Check();

    std::string commandLine_;
    std::unique_ptr<process::CapturedProcess> process_;
    QTimer timer_;
    bool reported_ = false;
};

// "Код завершения 0, 0,42 с" and the like: how a run ended.
std::string RunSummary(const TToolRun& run);

} // namespace lorvane
