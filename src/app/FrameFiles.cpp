// The frame's file commands: new, open, open by name, save, save as, the
// backup switch, close, and the close-all pass when the program ends.
#include "app/CommandProgress.h"
#include "app/HandOver.h"
#include "app/MainForm.h"
#include "app/WindowPlacement.h"
#include "components/FileMO.h"
#include "components/JustOne.h"
#include "components/RegControls.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Stream.h"

#include <QMdiArea>

namespace lorvane {
namespace {

const char* const kTextPatterns = "*.P; *.TXT; *.DOC; *.INI; *.INF; *.LST; *.ASM; *.PIC; *.POD";

} // namespace

TMDIChild* TMainFormLorvane::NewDocumentWindow(const std::string& caption) {
    if (!editors_) throw Error("Редактор текста недоступен в этой сборке программы");
    auto window = std::make_unique<TMDIChild>(editors_());
    window->SetCaption(caption);
    TMDIChild* child = window.get();
    const QPoint stored = child->pos();
    const QWidget* previous = mdiArea_->activeSubWindow();
    mdiArea_->addSubWindow(window.release());
    // The area places a new window by a rule of its own; the place stored
    // for document windows comes first.
    const bool restored = child->RegForm1().Restored();
    if (restored) child->move(stored);
    child->show();
    mdiArea_->setActiveSubWindow(child);
    ApplyAppearance(*child);
    ColourWindow(*child, caption);
    // A new text first saved under a name, or a text saved under another.
    child->OnRenamed = [this, child](const std::string& name) { ColourWindow(*child, name); };
    if (!restored) {
        FitDocumentWindow(*child, MakeFont(child->Memo1().Font()));
        CascadeDocumentWindow(*child, previous);
    }
    return child;
}

void TMainFormLorvane::ApplyAppearance(TMDIChild& window) {
    const DocumentLook look = settings_.DocumentAppearance();
    TDocumentEditor& editor = window.Memo1();
    LogicalFont font = editor.Font();
    font.fixedPitch = true;
    if (!look.fontName.empty()) font.name = look.fontName;
    font.height = 0; // the size in points decides from now on
    font.size = look.fontSize;
    editor.SetFont(font);
    editor.SetFontColor(look.fontColor);
    editor.SetColor(look.backgroundColor);
}

void TMainFormLorvane::LoadInto(TMDIChild& window, const std::string& name, TModeChoice mode,
                                TUtf8Answer answer) {
    try {
        TCommandProgress progress(statusBar1_, QString::fromUtf8("Открытие файла"));
        window.LoadFile(name, mode, answer);
    } catch (...) {
        // The window was made for this file and holds nothing else: it
        // goes, so no save can put an empty or cut text over the file.
        window.Memo1().SetModified(false);
        window.close();
        throw;
    }
}

TMDIChild* TMainFormLorvane::OpenInNewWindow(const std::string& caption, const std::string& name,
                                             const TMDIChild* like) {
    TMDIChild* window = NewDocumentWindow(caption);
    // Coloured before the text arrives, the text is highlighted as it is
    // laid out, in the background, instead of all over again afterwards.
    if (caption != name) ColourWindow(*window, name);
    TOpening opening = OpeningOf(name, *window);
    if (like != nullptr) {
        const std::int32_t caret = opening.caret;
        opening = OpeningLike(*like);
        opening.caret = caret;
    }
    try {
        LoadInto(*window, name, opening.mode, opening.utf8);
    } catch (const std::exception& error) {
        ReportError(error);
        return nullptr;
    }
    window->Memo1().SetModified(false);
    window->ClearModifiedPanel();
    window->SetCaption(name);
    if (opening.caret > 0) PlaceCaret(window->Memo1(), opening.caret);
    return window;
}

void TMainFormLorvane::FileNewItemClick() {
    SharedFlags().NewDocumentPending = "True";
    SharedFlags().CurrentExtension.clear();
    TMDIChild* window = NewDocumentWindow(std::string(kUntitled));
    window->Memo1().SetText({});
    window->Memo1().SetModified(false);
}

void TMainFormLorvane::FileOpenItemClick() {
    std::string extension = ".TXT";
    if (TMDIChild* active = ActiveChild()) {
        extension = FileExtension(active->Caption());
        if (extension.empty()) extension = ".*";
    }
    const std::string work =
        "*" + settings_.Tools().compilerExtension + ";" + "*" + extension + ";" + "*.P";
    FileDialogRequest request;
    request.filter = "Рабочие файлы(" + work + ")" + "|" + work + "|" + "Текстовые файлы" + "(" +
                     kTextPatterns + ")" + "|" + kTextPatterns + "|" + "Все файлы (*.*)|" + "*.*";
    request.fileName = openDialogFileName_;
    const auto chosen = Dialogs::Current().OpenFile(request);
    if (!chosen || chosen->files.empty() || chosen->files.front().empty()) return;
    const std::string name = chosen->files.front();
    openDialogFileName_ = name;
    SharedFlags().NewDocumentPending = "True";
    SharedFlags().CurrentExtension = UpperAscii(FileExtension(name));
    TMDIChild* window = OpenInNewWindow(name, name);
    if (window == nullptr) return;
    fileMenuOpens1_->AddFile(name);
    window->FileName = name;
}

void TMainFormLorvane::FileOpenAll(const std::string& name) {
    if (name.empty()) return;
    openDialogFileName_ = name;
    SharedFlags().NewDocumentPending = "True";
    SharedFlags().CurrentExtension = UpperAscii(FileExtension(name));
    TMDIChild* window = OpenInNewWindow(name, name);
    if (window == nullptr) return;
    window->FileName = name;
    closeAllActive_ = false;
    settings_.ReadToolSettings();
}

void TMainFormLorvane::FileMenuOpens1Action(QAction* sender) {
    FileOpenAll(TFileMenuOpens::FileNameOf(sender));
}

TMDIChild* TMainFormLorvane::TargetWindow() const {
    if (closeAllActive_) {
        const std::vector<TMDIChild*> children = Children();
        const std::size_t index = static_cast<std::size_t>(closeAllIndex_) - 1;
        if (index < children.size()) return children[index];
    }
    return ActiveChild();
}

bool TMainFormLorvane::FileSaveItemClick() {
    TMDIChild* window = TargetWindow();
    return window != nullptr && SaveWindow(*window);
}

bool TMainFormLorvane::SaveWindow(TMDIChild& window) {
    if (!window.Memo1().Modified() && !window.IsUntitled()) {
        const MsgResult answer = Dialogs::Current().MessageBox(
            "Текст в файле " + window.Caption() + " не был изменен. Сохранить под другим именем?",
            std::string(kAttention), mbYes | mbNo, MsgIcon::Warning);
        return answer == MsgResult::Yes && SaveWindowAs(window);
    }
    openDialogFileName_ = window.IsUntitled() ? std::string() : window.Caption();
    if (openDialogFileName_.empty()) return SaveWindowAs(window);
    const bool backup = window.Memo1().Modified() && !Item("NoBAT1")->isChecked();
    try {
        if (!window.WriteInMode(openDialogFileName_, backup)) return false;
    } catch (const std::exception& error) {
        ReportError(error);
        return false;
    }
    window.Memo1().SetModified(false);
    window.ClearModifiedPanel();
    return true;
}

bool TMainFormLorvane::FileSaveAsItemClick() {
    TMDIChild* window = TargetWindow();
    return window != nullptr && SaveWindowAs(*window);
}

bool TMainFormLorvane::SaveWindowAs(TMDIChild& window) {
    FileDialogRequest request;
    request.filter = SaveDialogFilter(settings_.Tools().compilerExtension);
    request.fileName = window.Caption();
    request.overwritePrompt = true;
    const auto chosen = Dialogs::Current().SaveFile(request);
    if (!chosen || chosen->files.empty() || chosen->files.front().empty()) return false;
    std::string name = chosen->files.front();
    if (FileExtension(name).empty()) {
        name += ".TXT";
        if (!MayReplaceCompletedName(name)) return false;
    }
    try {
        if (!window.WriteInMode(name, false)) return false;
    } catch (const std::exception& error) {
        ReportError(error);
        return false;
    }
    openDialogFileName_ = name;
    window.Memo1().SetModified(false);
    window.ClearModifiedPanel();
    window.SetCaption(name);
    fileMenuOpens1_->AddFile(name);
    window.FileName = name;
    SharedFlags().CurrentExtension = UpperAscii(FileExtension(name));
    return true;
}

void TMainFormLorvane::NoBAT1Click() {
    const bool noBackup = !Item("NoBAT1")->isChecked();
    SetChecked("NoBAT1", noBackup);
    SetDown("SpeedButton14", noBackup);
    SharedFlags().NoBackupFlag = noBackup;
    try {
        settings_.WriteNoBackup(noBackup);
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

void TMainFormLorvane::FileCloseItemClick() {
    TMDIChild* window = ActiveChild();
    if (window != nullptr && FileCloseWinees(window)) window->close();
}

bool TMainFormLorvane::FileCloseWinees(TMDIChild* window) {
    openDialogFileName_ = window->IsUntitled() ? std::string(kNoName) : window->Caption();
    if (!window->Memo1().Modified()) return true;
    const MsgResult answer = Dialogs::Current().MessageBox(
        "Текст в файле " + window->Caption() + " был изменен. Сохранить?", std::string(kAttention),
        mbYes | mbNo | mbCancel, MsgIcon::Warning);
    if (answer == MsgResult::Cancel) return false;
    // A save that did not happen keeps the window and its text.
    if (answer == MsgResult::Yes && !SaveWindow(*window)) return false;
    window->DiscardedOnClose = answer == MsgResult::No;
    window->Memo1().SetModified(false);
    window->ClearModifiedPanel();
    return true;
}

bool TMainFormLorvane::FormCloseQuery() {
    for (TMDIChild* child : Children())
        child->DiscardedOnClose = false;
    const auto askAll = [this] {
        // Every window's own question first, in index order, as closing the
        // frame closes them; the first refusal keeps everything open.
        for (TMDIChild* child : Children())
            if (!child->CloseQuery()) return false;
        closeAllActive_ = true;
        closeAllIndex_ = 1;
        bool allowed = true;
        while (closeAllIndex_ <= Children().size()) {
            if (!FileCloseWinees(Children()[closeAllIndex_ - 1u])) {
                allowed = false;
                break;
            }
            ++closeAllIndex_;
        }
        closeAllActive_ = false;
        return allowed;
    };
    const bool allowed = askAll();
    // A text given up for a close that was then called off is in no file:
    // it keeps its mark, and the next close asks about it again.
    if (!allowed)
        for (TMDIChild* child : Children())
            if (child->DiscardedOnClose) child->Memo1().SetModified(true);
    return allowed;
}

void TMainFormLorvane::XJustOne1AlreadyExist() {
    const std::string name = HandOverName(parameters_);
    WriteHandOver(name);
    xJustOne1_->SetHandOverName(name);
}

void TMainFormLorvane::OpenHandedOver() {
    if (openingHandOvers_) return;
    openingHandOvers_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{openingHandOvers_};
    while (const auto name = handOvers_.Next()) {
        fileMenuOpens1_->AddFile(*name);
        FileOpenAll(*name);
    }
}

} // namespace lorvane
