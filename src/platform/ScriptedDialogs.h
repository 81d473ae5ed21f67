#pragma once
// A Dialogs implementation for tests. Answers are queued in the order the
// code under test will ask for them; every request is recorded. A request
// with no answer queued, or with an answer of another kind at the head of the
// queue, is recorded as an error and throws ScriptedDialogError, so a test
// never blocks and never passes silently. The object installs itself for its
// lifetime and restores the previous implementation when destroyed.
#include "platform/Dialogs.h"

#include <deque>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace lorvane {

enum class DialogKind {
    MessageBox,
    InputBox,
    OpenFile,
    SaveFile,
    Font,
    Color,
    Print,
    PrinterSetup,
    Find,
    Replace,
    CloseFind,
};

const char* DialogKindName(DialogKind kind) noexcept;

class ScriptedDialogError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// One request as the code under test made it. Only the fields of its kind
// are filled: message box (text, caption, buttons, icon), input box
// (caption, text = prompt, value), open/save (file), font (font), colour
// (color), print (print), find/replace (find).
struct DialogRequest {
    DialogKind kind = DialogKind::MessageBox;
    std::string text;
    std::string caption;
    unsigned buttons = 0;
    MsgIcon icon = MsgIcon::None;
    std::string value;
    FileDialogRequest file;
    FontChoice font;
    TColor color = clBlack;
    PrintRequest print;
    FindOptions find;
};

class ScriptedDialogs final : public Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Queueing answers. An empty optional (or false) is the user's cancel.
    void AnswerMessage(MsgResult result);
    void AnswerInput(std::optional<std::string> value);
    void AnswerOpen(std::optional<FileDialogResult> result);
    void AnswerOpen(const std::string& file, int filterIndex = 1);
    void AnswerSave(std::optional<FileDialogResult> result);
    void AnswerSave(const std::string& file, int filterIndex = 1);
    void AnswerFont(std::optional<FontChoice> choice);
    void AnswerColor(std::optional<TColor> color);
    // A confirmed print may send the output to a PDF file, so tests can look
    // at what was printed.
    void AnswerPrint(bool confirmed, const std::string& pdfFile = {});
    void AnswerPrinterSetup(bool confirmed);

    // The user at an open find or replace dialog: calls the handler it was
    // shown with. Recorded as an error (and thrown) when neither is open.
    void PressFind(const FindOptions& options);
    void PressReplace(const FindOptions& options);
    void PressReplaceAll(const FindOptions& options);
    bool FindOpen() const noexcept { return findOpen_ != Open::None; }
    bool ReplaceOpen() const noexcept { return findOpen_ == Open::Replace; }

    const std::vector<DialogRequest>& Requests() const noexcept { return requests_; }
    // Requests of one kind, in order.
    std::vector<DialogRequest> RequestsOf(DialogKind kind) const;
    const std::vector<std::string>& Errors() const noexcept { return errors_; }
    std::size_t PendingAnswers() const noexcept { return answers_.size(); }
    void Clear();

    MsgResult MessageBox(const std::string& text, const std::string& caption, unsigned buttons,
                         MsgIcon icon) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    std::optional<FileDialogResult> OpenFile(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> SaveFile(const FileDialogRequest& request) override;
    std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    bool Print(QPrinter& printer, const PrintRequest& request) override;
    bool PrinterSetup(QPrinter& printer) override;
    void ShowFind(const FindOptions& options, FindHandler handler) override;
    void ShowReplace(const FindOptions& options, FindHandler handler) override;
    void CloseFind() override;

private:
    struct PrintAnswer {
        bool confirmed = false;
        std::string pdfFile;
    };
    using Payload =
        std::variant<MsgResult, std::optional<std::string>, std::optional<FileDialogResult>,
                     std::optional<FontChoice>, std::optional<TColor>, PrintAnswer>;
    struct Answer {
        DialogKind kind;
        Payload payload;
    };
    enum class Open { None, Find, Replace };

    // Records the request and returns the answer at the head of the queue,
    // or fails loudly.
    Payload Take(DialogRequest request);
    [[noreturn]] void Fail(const std::string& message);
    void Press(FindAction action, const FindOptions& options);

    std::deque<Answer> answers_;
    std::vector<DialogRequest> requests_;
    std::vector<std::string> errors_;
    Open findOpen_ = Open::None;
    FindHandler findHandler_;
    Dialogs* previous_ = nullptr;
};

} // namespace lorvane
