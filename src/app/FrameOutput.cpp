// The frame's side of the build output: the messages pane under the
// documents, the tools whose output it shows, the jump to a message's place
// (from the pane, from a listing, or with the next/previous keys), and going
// to a line of the file.
#include "app/ErrorLocation.h"
#include "app/MainForm.h"
#include "app/MessagesPane.h"
#include "app/ToolRun.h"
#include "platform/CodePageTables.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Process.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <cstring>
#include <filesystem>
#include <system_error>

namespace lorvane {
namespace {

struct ExtraItem {
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut;
    bool separatorBefore;
};

// Placed at the ends of their menus, after a separator, so that no item
// of the menus moves.
constexpr ExtraItem kExtraItems[] = {
    {"N21", "NextMessage1", "Следующее сообщение", "Shift+F4", true},
    {"N21", "PrevMessage1", "Предыдущее сообщение", "Ctrl+Shift+F4", false},
    {"N21", "MessagesPane1", "Окно сообщений", "F12", false},
    {"N5", "GoToLine1", "Перейти к строке...", "Ctrl+G", true},
};

// While the compiler runs nothing but the messages pane takes input: the
// documents, menus and keys wait, and the pane's stop button works.
class InputHold : public QObject {
public:
    explicit InputHold(QWidget* open) : open_(open) {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~InputHold() override {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod: // compose keys and input methods type too
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::Drop:
            break;
        default:
            return false;
        }
        // The window passes input on to its widgets; those decide.
        if (qobject_cast<QWindow*>(watched) != nullptr) return false;
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && open_ != nullptr &&
            (widget == open_ || open_->isAncestorOf(widget)))
            return false;
        // Taken: a key the documents do not get is no shortcut either.
        if (event->type() == QEvent::ShortcutOverride) event->accept();
        return true;
    }

private:
    QWidget* open_;
};

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// A tool started with its lines in the pane, or the reason it did not
// start shown there before the error goes on to the caller.
TToolRun* BeginToolRun(QObject& owner, TMessagesPane& pane, const std::string& commandLine,
                       const std::string& baseDirectory) {
    TToolRun* run = nullptr;
    try {
        run = new TToolRun(commandLine, &owner);
    } catch (const ProcessError& error) {
        pane.StartFailed(commandLine, error.program() + ": " + std::strerror(error.errorCode()));
        throw;
    }
    pane.BeginRun(*run, baseDirectory);
    return run;
}

} // namespace

void TMainFormLorvane::ConnectBuildOutput() {
    messagesPane_ = new TMessagesPane(this);
    addDockWidget(Qt::BottomDockWidgetArea, messagesPane_);
    messagesPane_->hide();
    messagesPane_->OnJump = [this](const std::string& file, std::int32_t line) {
        JumpToMessage(file, line);
    };

    for (const ExtraItem& def : kExtraItems) {
        QMenu* menu = Menu(def.menu);
        if (def.separatorBefore) menu->addSeparator();
        QAction* item = menu->addAction(QString::fromUtf8(def.caption));
        item->setObjectName(def.name);
        item->setShortcut(QKeySequence::fromString(def.shortcut, QKeySequence::PortableText));
        items_.emplace(def.name, item);
    }
    QAction* paneItem = Item("MessagesPane1");
    paneItem->setCheckable(true);
    // The pane reports its hiding once more while the frame is taken down,
    // when the frame's own part is gone: the item and the pane are all the
    // mark needs.
    connect(messagesPane_, &QDockWidget::visibilityChanged, paneItem,
            [pane = messagesPane_, paneItem] { paneItem->setChecked(pane->isVisible()); });
    connect(paneItem, &QAction::triggered, this, [this] { MessagesPaneClick(); });
    connect(Item("NextMessage1"), &QAction::triggered, this, [this] { NextMessageClick(); });
    connect(Item("PrevMessage1"), &QAction::triggered, this, [this] { PreviousMessageClick(); });
    connect(Item("GoToLine1"), &QAction::triggered, this, [this] { GoToLineClick(); });
    // Kept current on every idle pass, as the other items are.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { UpdateBuildOutputItems(); });
    UpdateBuildOutputItems();
}

void TMainFormLorvane::UpdateBuildOutputItems() {
    const bool messages = messagesPane_->MessageCount() > 0 && !compiling_;
    Enable("NextMessage1", messages);
    Enable("PrevMessage1", messages);
    Enable("GoToLine1", ActiveChild() != nullptr && !compiling_);
    SetChecked("MessagesPane1", messagesPane_->isVisible());
}

void TMainFormLorvane::WaitForProgram(const std::string& commandLine,
                                      const std::string& baseDirectory) {
    TToolRun* run = BeginToolRun(*this, *messagesPane_, commandLine, baseDirectory);
    messagesPane_->SetStoppable(run);
    {
        const InputHold hold(messagesPane_);
        run->Wait();
    }
    run->deleteLater();
}

void TMainFormLorvane::StartTool(const std::string& commandLine, const std::string& baseDirectory) {
    TToolRun* run = BeginToolRun(*this, *messagesPane_, commandLine, baseDirectory);
    const auto previous = run->OnFinished;
    run->OnFinished = [previous](TToolRun& ended) {
        if (previous) previous(ended);
        ended.deleteLater();
    };
}

void TMainFormLorvane::MessagesPaneClick() {
    if (messagesPane_->isVisible())
        messagesPane_->hide();
    else
        messagesPane_->Reveal();
}

void TMainFormLorvane::NextMessageClick() {
    if (!compiling_) messagesPane_->Next();
}

void TMainFormLorvane::PreviousMessageClick() {
    if (!compiling_) messagesPane_->Previous();
}

void TMainFormLorvane::JumpToMessage(const std::string& file, std::int32_t line) {
    // The pane takes input while the compiler runs, but no window may open
    // or come forward then, as for the next and previous keys.
    if (compiling_) return;
    const auto find = [&]() -> TMDIChild* {
        for (TMDIChild* child : Children())
            if (SameFile(child->Caption(), file)) return child;
        return nullptr;
    };
    TMDIChild* window = find();
    if (window == nullptr) {
        FileOpenAll(file);
        if ((window = find()) == nullptr) return; // the load reported why
    }
    mdiArea_->setActiveSubWindow(window);
    window->Memo1().GoToParagraph(line - 1);
    window->Memo1().Widget()->setFocus();
}

void TMainFormLorvane::GoToLineClick() {
    TMDIChild* window = ActiveChild();
    if (window == nullptr || compiling_) return;
    TDocumentEditor& editor = window->Memo1();
    const std::int32_t count = editor.ParagraphCount();
    const auto entered = Dialogs::Current().InputBox(
        "Перейти к строке", "Номер строки (1 - " + std::to_string(count) + ")",
        std::to_string(editor.CaretParagraph() + 1));
    if (!entered) return;
    std::string text = *entered;
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    const bool digits = !text.empty() && text.size() <= 9 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    const long number = digits ? std::stol(text) : 0;
    if (number < 1) {
        Dialogs::Current().MessageBox("\"" + *entered +
                                          "\" - не номер строки: нужно число от 1 до " +
                                          std::to_string(count) + ".",
                                      std::string(kAttention), mbOK, MsgIcon::Warning);
        return;
    }
    // A number past the end goes to the last line, as scrolling there would.
    editor.GoToParagraph(static_cast<std::int32_t>(std::min<long>(number, count)) - 1);
    editor.Widget()->setFocus();
}

void TMainFormLorvane::WatchListing(TMDIChild& listing) {
    const std::string directory = std::filesystem::path(listing.Caption()).parent_path().string();
    TDocumentEditor& editor = listing.Memo1();
    // The listing's text is Windows-1251 like every document's (after its
    // display mode); names and messages are shown as UTF-8.
    std::vector<std::string> lines;
    const std::int32_t count = editor.ParagraphCount();
    for (std::int32_t i = 0; i < count; ++i) {
        std::string text = editor.ParagraphText(i);
        if (text.find_first_of("(:") == std::string::npos) continue;
        std::string utf8 = cp::DecodeToUtf8(cp::CodePage::Win1251, text);
        const auto place = ParseErrorLocation(utf8);
        if (place && !FindMessageFile(place->file, directory).empty())
            lines.push_back(std::move(utf8));
    }
    messagesPane_->AddListing(listing.Caption(), directory, lines);

    QPointer<TMDIChild> window = &listing;
    editor.OnDoubleClick = [this, window, directory] {
        if (!window) return;
        TDocumentEditor& memo = window->Memo1();
        const std::string text =
            cp::DecodeToUtf8(cp::CodePage::Win1251, memo.ParagraphText(memo.CaretParagraph()));
        const auto place = ParseErrorLocation(text);
        if (!place) return;
        const std::string file = FindMessageFile(place->file, directory);
        // After the control has finished with the click: the jump moves the
        // focus to another window.
        if (!file.empty())
            QTimer::singleShot(0, this,
                               [this, file, line = place->line] { JumpToMessage(file, line); });
    };
}

} // namespace lorvane
