#include "platform/ScriptedDialogs.h"

#include <QPrinter>
#include <QString>

#include <cstdio>
#include <utility>

namespace lorvane {

const char* DialogKindName(DialogKind kind) noexcept {
    switch (kind) {
    case DialogKind::MessageBox:
        return "message box";
    case DialogKind::InputBox:
        return "input box";
    case DialogKind::OpenFile:
        return "open dialog";
    case DialogKind::SaveFile:
        return "save dialog";
    case DialogKind::Font:
        return "font dialog";
    case DialogKind::Color:
        return "colour dialog";
    case DialogKind::Print:
        return "print dialog";
    case DialogKind::PrinterSetup:
        return "printer set-up dialog";
    case DialogKind::Find:
        return "find dialog";
    case DialogKind::Replace:
        return "replace dialog";
    case DialogKind::CloseFind:
        return "closing of the find dialog";
    }
    return "dialog";
}

ScriptedDialogs::ScriptedDialogs() : previous_(Dialogs::Installed()) {
    Dialogs::Install(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    if (Dialogs::Installed() == this) Dialogs::Install(previous_);
}

void ScriptedDialogs::AnswerMessage(MsgResult result) {
    answers_.push_back({DialogKind::MessageBox, result});
}

void ScriptedDialogs::AnswerInput(std::optional<std::string> value) {
    answers_.push_back({DialogKind::InputBox, std::move(value)});
}

void ScriptedDialogs::AnswerOpen(std::optional<FileDialogResult> result) {
    answers_.push_back({DialogKind::OpenFile, std::move(result)});
}

void ScriptedDialogs::AnswerOpen(const std::string& file, int filterIndex) {
    AnswerOpen(FileDialogResult{{file}, filterIndex});
}

void ScriptedDialogs::AnswerSave(std::optional<FileDialogResult> result) {
    answers_.push_back({DialogKind::SaveFile, std::move(result)});
}

void ScriptedDialogs::AnswerSave(const std::string& file, int filterIndex) {
    AnswerSave(FileDialogResult{{file}, filterIndex});
}

void ScriptedDialogs::AnswerFont(std::optional<FontChoice> choice) {
    answers_.push_back({DialogKind::Font, std::move(choice)});
}

void ScriptedDialogs::AnswerColor(std::optional<TColor> color) {
    answers_.push_back({DialogKind::Color, color});
}

void ScriptedDialogs::AnswerPrint(bool confirmed, const std::string& pdfFile) {
    answers_.push_back({DialogKind::Print, PrintAnswer{confirmed, pdfFile}});
}

void ScriptedDialogs::AnswerPrinterSetup(bool confirmed) {
    answers_.push_back({DialogKind::PrinterSetup, PrintAnswer{confirmed, {}}});
}

std::vector<DialogRequest> ScriptedDialogs::RequestsOf(DialogKind kind) const {
    std::vector<DialogRequest> result;
    for (const DialogRequest& request : requests_)
        if (request.kind == kind) result.push_back(request);
    return result;
}

void ScriptedDialogs::Clear() {
    answers_.clear();
    requests_.clear();
    errors_.clear();
}

void ScriptedDialogs::Fail(const std::string& message) {
    errors_.push_back(message);
    // Also on stderr: the exception may be swallowed by the code under test
    // or by the application's error handler.
    std::fprintf(stderr, "ScriptedDialogs: %s\n", message.c_str());
    throw ScriptedDialogError(message);
}

ScriptedDialogs::Payload ScriptedDialogs::Take(DialogRequest request) {
    const DialogKind kind = request.kind;
    requests_.push_back(std::move(request));
    const DialogRequest& made = requests_.back();
    auto describe = [&made] {
        std::string what = DialogKindName(made.kind);
        if (!made.text.empty())
            what += " \"" + made.text + "\"";
        else if (!made.caption.empty())
            what += " \"" + made.caption + "\"";
        else if (!made.file.title.empty())
            what += " \"" + made.file.title + "\"";
        return what;
    };
    if (answers_.empty()) Fail("no answer queued for the " + describe());
    if (answers_.front().kind != kind)
        Fail("the " + describe() + " was asked for, but the next answer is for a " +
             DialogKindName(answers_.front().kind));
    Payload payload = std::move(answers_.front().payload);
    answers_.pop_front();
    return payload;
}

MsgResult ScriptedDialogs::MessageBox(const std::string& text, const std::string& caption,
                                      unsigned buttons, MsgIcon icon) {
    DialogRequest request;
    request.kind = DialogKind::MessageBox;
    request.text = text;
    request.caption = caption;
    request.buttons = buttons;
    request.icon = icon;
    return std::get<MsgResult>(Take(std::move(request)));
}

std::optional<std::string> ScriptedDialogs::InputBox(const std::string& caption,
                                                     const std::string& prompt,
                                                     const std::string& value) {
    DialogRequest request;
    request.kind = DialogKind::InputBox;
    request.caption = caption;
    request.text = prompt;
    request.value = value;
    return std::get<std::optional<std::string>>(Take(std::move(request)));
}

std::optional<FileDialogResult> ScriptedDialogs::OpenFile(const FileDialogRequest& file) {
    DialogRequest request;
    request.kind = DialogKind::OpenFile;
    request.file = file;
    return std::get<std::optional<FileDialogResult>>(Take(std::move(request)));
}

std::optional<FileDialogResult> ScriptedDialogs::SaveFile(const FileDialogRequest& file) {
    DialogRequest request;
    request.kind = DialogKind::SaveFile;
    request.file = file;
    return std::get<std::optional<FileDialogResult>>(Take(std::move(request)));
}

std::optional<FontChoice> ScriptedDialogs::ChooseFont(const FontChoice& initial) {
    DialogRequest request;
    request.kind = DialogKind::Font;
    request.font = initial;
    return std::get<std::optional<FontChoice>>(Take(std::move(request)));
}

std::optional<TColor> ScriptedDialogs::ChooseColor(TColor initial) {
    DialogRequest request;
    request.kind = DialogKind::Color;
    request.color = initial;
    return std::get<std::optional<TColor>>(Take(std::move(request)));
}

bool ScriptedDialogs::Print(QPrinter& printer, const PrintRequest& print) {
    DialogRequest request;
    request.kind = DialogKind::Print;
    request.print = print;
    const PrintAnswer answer = std::get<PrintAnswer>(Take(std::move(request)));
    if (answer.confirmed && !answer.pdfFile.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(answer.pdfFile));
    }
    return answer.confirmed;
}

bool ScriptedDialogs::PrinterSetup(QPrinter&) {
    DialogRequest request;
    request.kind = DialogKind::PrinterSetup;
    return std::get<PrintAnswer>(Take(std::move(request))).confirmed;
}

void ScriptedDialogs::ShowFind(const FindOptions& options, FindHandler handler) {
    DialogRequest request;
    request.kind = DialogKind::Find;
    request.find = options;
    requests_.push_back(std::move(request));
    findOpen_ = Open::Find;
    findHandler_ = std::move(handler);
}

void ScriptedDialogs::ShowReplace(const FindOptions& options, FindHandler handler) {
    DialogRequest request;
    request.kind = DialogKind::Replace;
    request.find = options;
    requests_.push_back(std::move(request));
    findOpen_ = Open::Replace;
    findHandler_ = std::move(handler);
}

void ScriptedDialogs::CloseFind() {
    DialogRequest request;
    request.kind = DialogKind::CloseFind;
    requests_.push_back(std::move(request));
    findOpen_ = Open::None;
}

void ScriptedDialogs::Press(FindAction action, const FindOptions& options) {
    if (findOpen_ == Open::None)
        Fail("a find or replace button was pressed, but neither dialog is open");
    if (action != FindAction::Find && findOpen_ != Open::Replace)
        Fail("a replace button was pressed, but the open dialog is the find dialog");
    // The handler may close the dialog (and so reset findHandler_): call a copy.
    const FindHandler handler = findHandler_;
    if (handler) handler(FindEvent{action, options});
}

void ScriptedDialogs::PressFind(const FindOptions& options) {
    Press(FindAction::Find, options);
}

void ScriptedDialogs::PressReplace(const FindOptions& options) {
    Press(FindAction::Replace, options);
}

void ScriptedDialogs::PressReplaceAll(const FindOptions& options) {
    Press(FindAction::ReplaceAll, options);
}

} // namespace lorvane
