#pragma once
// The messages pane at the bottom of the frame: for every run of a build
// tool its command line, what it printed and how it ended; the lines that
// name a place in a source are messages, and the pane walks them (next,
// previous) and asks the frame to show the place of the one chosen.
#include <QDockWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QTimer;
class QToolButton;

namespace lorvane {

class TToolRun;

class TMessagesPane : public QDockWidget {
    Q_OBJECT
public:
    explicit TMessagesPane(QWidget* parent = nullptr);
    ~TMessagesPane() override;

    QListWidget* List() const noexcept { return list_; }
    QToolButton* StopButton() const noexcept { return stop_; }
    QLabel* Status() const noexcept { return status_; }

    // A run's lines from now on: the command line first; relative names in
    // its messages are found in `baseDirectory`. The pane shows itself, and
    // the next message after this line is the run's first.
    void BeginRun(TToolRun& run, const std::string& baseDirectory);
    // A program that could not start: its command line and why.
    void StartFailed(const std::string& commandLine, const std::string& why);
    // The lines of a listing that name places, under a heading.
    void AddListing(const std::string& name, const std::string& baseDirectory,
                    const std::vector<std::string>& utf8Lines);
    // The stop button acts on this run while it goes on (nullptr: none).
    void SetStoppable(TToolRun* run);

    // The message after or before the current line: it becomes current and
    // its place is shown. False when there is none.
    bool Next();
    bool Previous();
    // Messages are lines whose place leads to an existing file.
    std::int32_t MessageCount() const noexcept { return messages_; }
    // Shown with OnJump: the file and its line (from 1).
    std::function<void(const std::string& file, std::int32_t line)> OnJump;

    // Shows the pane (when hidden) with the height it had last.
    void Reveal();

    // The height the pane comes back with; the registry keeps it.
    int RememberedHeight() const noexcept { return height_; }
    static constexpr int kDefaultHeight = 140;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // `printed`, when given, is the line as the tool wrote it: the place is
    // read from it, so a name that is not UTF-8 keeps the bytes that lead
    // to its file.
    void AddLine(const std::string& utf8, const std::string& baseDirectory, int kind,
                 std::string_view printed = {});
    void AddOutput(TToolRun* run, std::string_view bytes);
    void Flush(TToolRun* run);
    bool Step(int direction);
    void Choose(QListWidgetItem* item);
    void Trim();
    void MarkStart();

    QLabel* status_ = nullptr;
    QToolButton* stop_ = nullptr;
    QListWidget* list_ = nullptr;
    TToolRun* stoppable_ = nullptr;
    struct Pending {
        std::string bytes; // the unfinished last line
        std::string baseDirectory;
    };
    std::map<TToolRun*, Pending> pending_;
    std::int32_t messages_ = 0;
    int height_ = kDefaultHeight;
    QTimer* heightTimer_ = nullptr;
};

} // namespace lorvane
