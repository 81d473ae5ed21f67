#pragma once
// The frame on the program's own editor control, as the frame's tests share
// it: a fresh settings file and registry, scripted dialogs, the error
// reports caught, and documents opened from files or made new.
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "app/MessagesPane.h"
#include "app/RIzuvAzazEditor.h"
#include "editor/view/RIzuvAzaz.h"
#include "platform/ErrorHandler.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace lorvane::test {

inline RIzuvAzaz& Control(TMDIChild* window) {
    return static_cast<TRIzuvAzazEditor&>(window->Memo1()).Control();
}

// The user types `text` into `target`, one key at a time.
inline void TypeText(QWidget* target, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

// Runs the event loop until `done` holds; false after `limitMs`.
template <typename Condition> bool WaitFor(Condition done, int limitMs = 5000) {
    return QTest::qWaitFor(done, limitMs);
}

// A disk that takes no file beyond `bytes` while it lives: a longer write
// fails as on a full disk.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int);
};

class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(Settings().SettingsFilePath());
        std::filesystem::remove(paths::ResolveBareName("HKEY_CURRENT_USER.reg"));
        SharedFlags() = TSharedDocumentFlags{};
        TApplication::SetReporter([this](const std::string& text) { errors.push_back(text); });
        MakeFrame();
    }
    void TearDown() override {
        TearDownFrame();
        TApplication::SetReporter({});
        EXPECT_TRUE(errors.empty()) << errors.front();
        EXPECT_TRUE(dialogs.Errors().empty()) << dialogs.Errors().front();
    }

    // A new frame, as the program starts with these words.
    void MakeFrame(std::vector<std::string> parameters = {}) {
        TearDownFrame();
        frame = std::make_unique<TMainFormLorvane>(DocumentEditors(), std::move(parameters));
        frame->show();
        // Active, as the user's: the document in front has the keyboard.
        QApplication::setActiveWindow(frame.get());
    }
    void TearDownFrame() {
        // Closing asks about modified texts; nobody is there to answer.
        if (frame)
            for (TMDIChild* child : frame->Children())
                child->Memo1().SetModified(false);
        frame.reset();
    }

    // A new untitled document holding `text`, unmodified, the caret at the start.
    RIzuvAzaz& NewDocument(std::string_view text) {
        frame->FileNewItemClick();
        RIzuvAzaz& control = Control(frame->ActiveChild());
        control.SetText(text);
        control.SetSelStart(0);
        control.SetModified(false);
        return control;
    }
    // `name` in the test's directory with `bytes`, opened.
    TMDIChild* Open(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir.File(name), bytes);
        frame->FileOpenAll(dir.File(name));
        return frame->ActiveChild();
    }
    TDocumentEditor& Editor() const { return frame->ActiveChild()->Memo1(); }
    // The text of the status bar's field `name`.
    std::string Field(const char* name) const {
        const auto* field = frame->StatusBar1()->findChild<QLabel*>(name);
        return field != nullptr ? field->text().toStdString() : "(none)";
    }
    // The messages pane's rows as text.
    std::vector<std::string> PaneLines() const {
        std::vector<std::string> lines;
        const QListWidget* list = frame->MessagesPane1().List();
        for (int i = 0; i < list->count(); ++i)
            lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }

    // A tool setting, in effect at once (hand edits wait for an activation).
    void Tool(const char* key, const std::string& value) {
        WriteSetting("ASSEMBLER", key, value);
        frame->AboutBoxCr();
    }
    // A program that writes its arguments, each followed by "|", to
    // dir/<name>.args once `extra` (shell text; $1 the first argument) ran.
    std::string Script(const std::string& name, const std::string& extra = {}) {
        const std::string path = dir.File(name), log = dir.File(name + ".args");
        WriteFileBytes(path, "#!/bin/sh\n" + extra + "\nprintf '%s|' \"$@\" > '" + log +
                                 ".part'; mv '" + log + ".part' '" + log + "'\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    std::string Args(const std::string& name) {
        EXPECT_TRUE(WaitFor([&] { return Ran(name); })) << name;
        return ReadFileBytes(dir.File(name + ".args"));
    }
    bool Ran(const std::string& name) const {
        return std::filesystem::exists(dir.File(name + ".args"));
    }
    // A compiler for ".ASM" sources whose listing is "<source stem>.LST".
    void UseCompiler(const std::string& extra = "printf 'of %s' \"$1\" > \"${1%.*}.LST\"") {
        Tool("Ассемблер", Script("cc", extra));
        Tool("Расширение файла компилятора", ".ASM");
        Tool("Расширение файла листинга", ".LST");
    }
    // Another program's write in place, with a time of its own (two writes
    // can fall within one tick of the file system's clock).
    static void WriteOutside(const std::string& file, const std::string& bytes) {
        static long seconds = 1000;
        WriteFileBytes(file, bytes);
        struct timespec times[2] = {{0, UTIME_NOW}, {++seconds, 0}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    }

    static void WriteSetting(const char* section, const char* key, const std::string& value) {
        ProfileFile(Settings().SettingsFilePath()).WriteString(section, key, value);
    }
    static std::string ReadSetting(const char* section, const char* key) {
        return ProfileFile(Settings().SettingsFilePath()).ReadString(section, key, "<missing>");
    }
    bool On(const char* item) const { return frame->Item(item)->isEnabled(); }
    bool OnButton(const char* button) const { return frame->Button(button)->isEnabled(); }
    // The texts of the message boxes shown so far.
    std::vector<std::string> Questions() const {
        std::vector<std::string> texts;
        for (const DialogRequest& request : dialogs.RequestsOf(DialogKind::MessageBox))
            texts.push_back(request.text);
        return texts;
    }
    // The error reports so far, which the test expected; none are left.
    std::vector<std::string> TakeErrors() { return std::exchange(errors, {}); }

    TempDir dir;
    ScriptedDialogs dialogs;
    std::vector<std::string> errors;
    std::unique_ptr<TMainFormLorvane> frame;
};

} // namespace lorvane::test
