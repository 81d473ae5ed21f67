#include "app/Child.h"

#include "app/KeyTranslation.h"
#include "components/RegControls.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/ErrorHandler.h"
#include "platform/Stream.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace lorvane {

TSharedDocumentFlags& SharedFlags() noexcept {
    static TSharedDocumentFlags flags;
    return flags;
}

namespace {

std::size_t ExtensionStart(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::string_view::npos;
    const std::size_t sep = name.find_last_of("/\\:");
    if (sep != std::string_view::npos && sep > dot) return std::string_view::npos;
    return dot;
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Asking the clipboard can mean a round trip to another program, too slow
// for every idle pass; the answer is kept and renewed when the clipboard
// says it changed.
bool ClipboardHoldsText() {
    static bool hasText = [] {
        QClipboard* clipboard = QApplication::clipboard();
        QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, [clipboard] {
            const QMimeData* mime = clipboard->mimeData();
            hasText = mime != nullptr && mime->hasText();
        });
        const QMimeData* mime = clipboard->mimeData();
        return mime != nullptr && mime->hasText();
    }();
    return hasText;
}

} // namespace

std::string FileExtension(std::string_view name) {
    const std::size_t dot = ExtensionStart(name);
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string BackupName(std::string_view fileName) {
    const std::size_t dot = ExtensionStart(fileName);
    return std::string(fileName.substr(0, dot)) + ".BAK";
}

std::string StatusText(std::int32_t caretLine, std::int32_t caretColumn, std::int32_t lineCount,
                       std::int32_t textLength) {
    return "Курсор: " + std::to_string(caretLine + 1) + " : " + std::to_string(caretColumn + 1) +
           "    Строк: " + std::to_string(lineCount) +
           "        Размер текста: " + std::to_string(textLength) + "  байт";
}

std::string SaveDialogFilter(std::string_view compilerExtension) {
    const std::string patterns = "*" + std::string(compilerExtension) +
                                 "; *.TXT; *.DOC; *.INI; *.INF; *.LST; *.ASM; *.PIC; *.POD";
    return "Текстовые файлы(" + patterns + ")" + "|" + patterns + "|" +
           "Файлы Delphi (*.pas, *.dpr)|" + "*.PAS; *.DPR|" + "Все файлы (*.*)|" + "*.*";
}

bool MayReplaceCompletedName(const std::string& name) {
    std::error_code error;
    if (!std::filesystem::exists(name, error)) return true;
    return Dialogs::Current().MessageBox("Файл " + name + " уже существует. Заменить?",
                                         std::string(kAttention), mbYes | mbNo,
                                         MsgIcon::Warning) == MsgResult::Yes;
}

void ReportError(const std::exception& error) {
    TApplication::HandleException(error.what());
}

TMDIChild::TMDIChild(std::unique_ptr<TDocumentEditor> editor, QWidget* parent)
    : QMdiSubWindow(parent), memo1_(std::move(editor)) {
    setAttribute(Qt::WA_DeleteOnClose); // FormClose: the window is freed when closed
    auto body = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(body.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(memo1_->Widget(), 1);

    statusBar1_ = new QStatusBar(body.get());
    statusBar1_->setSizeGripEnabled(false);
    QFont statusFont = MakeFont(LogicalFont{"System", 13, 10, fsBold, false});
    statusBar1_->setFont(statusFont);
    panel0_ = new QLabel(statusBar1_);
    panel0_->setAlignment(Qt::AlignCenter);
    panel0_->setFixedWidth(20);
    panel1_ = new QLabel(statusBar1_);
    panel1_->setMinimumWidth(50);
    statusBar1_->addWidget(panel0_);
    statusBar1_->addWidget(panel1_, 1);
    layout->addWidget(statusBar1_);
    setWidget(body.release());

    // The control's stored look: aqua text on the inactive-caption colour
    // in the fixed-pitch "System" font.
    memo1_->SetFont(LogicalFont{"System", 13, 10, 0, true});
    memo1_->SetFontColor(clAqua);
    memo1_->SetColor(clInactiveCaptionText);
    memo1_->OnKeyPress = [this](unsigned char& key) { Memo1KeyPress(key); };

    // The system menu's own keys (Ctrl+W closes, on this desktop) would
    // make the frame's keys ambiguous, and then neither would act.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions())
            action->setShortcuts({});

    SetCaption("Untitle");
    resize(285, 358);
    // Every document window opens where the last one closed.
    regForm1_ = std::make_unique<TRegForm>(
        this, [this](QWidget*, bool& canClose) { canClose = FormCloseQuery(); });
    regForm1_->SetRegKey("\\OpenFileLorvane\\Child");
    regForm1_->Loaded();

    // FormCreate
    SharedFlags().TerminalFontActive = false;
    SharedFlags().PseudoGraphicsInput = false;
}

TMDIChild::~TMDIChild() {
    RememberFile();
    // The control's widget goes first, while the editor object it may call
    // back into still exists.
    std::unique_ptr<QWidget> body(widget());
    setWidget(nullptr); // hands the body back without deleting it
    body.reset();
    memo1_.reset();
}

QString TMDIChild::PanelText(int index) const {
    return index == 0 ? panel0_->text() : panel1_->text();
}

void TMDIChild::ClearModifiedPanel() {
    panel0_->clear();
}

std::string TMDIChild::Caption() const {
    return caption_;
}

void TMDIChild::SetCaption(std::string_view caption) {
    // The title is only for the eye: a file name in another code page
    // shows with replacement marks there, but every command uses the
    // bytes kept here, so it saves to the file it came from.
    const bool renamed = caption_ != caption;
    caption_ = caption;
    setWindowTitle(FromUtf8(caption));
    if (renamed && OnRenamed) OnRenamed(caption_);
}

void TMDIChild::FormActivate() {
    TSharedDocumentFlags& flags = SharedFlags();
    if (flags.NewDocumentPending != "True")
        flags.CurrentExtension = UpperAscii(FileExtension(FileName));
    flags.ActiveDosMode = DosMode != 0;
    flags.ActiveKoi8Mode = Koi8Mode != 0;
    flags.NewDocumentPending = "False";
    // Another program may have changed the file while the window was not
    // looked at; the idle pass asks (a question here would run inside the
    // activation itself).
    Document.checkDisk = true;
}

bool TMDIChild::FormCloseQuery() {
    if (!memo1_->Modified()) return true;
    const MsgResult answer = Dialogs::Current().MessageBox(
        "Текст в файле " + Caption() + " был изменен. Сохранить?", std::string(kAttention),
        mbYes | mbNo | mbCancel, MsgIcon::Warning);
    if (answer == MsgResult::Cancel) return false;
    // A save that did not happen (dialog cancelled, write refused) keeps
    // the window, so the text is not lost.
    if (answer == MsgResult::Yes && !FileSaveItem()) return false;
    DiscardedOnClose = answer == MsgResult::No;
    memo1_->SetModified(false);
    return true;
}

bool TMDIChild::CloseQuery() {
    bool canClose = true;
    regForm1_->CloseQuery(canClose);
    return canClose;
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    if (CloseQuery())
        QMdiSubWindow::closeEvent(event);
    else
        event->ignore();
}

void TMDIChild::UpdateStatus() {
    TSharedDocumentFlags& flags = SharedFlags();
    if (memo1_->HasFocus()) {
        flags.TerminalFontActive = IsTerminalFont(memo1_->Font().name);
        flags.ActiveCanUndo = memo1_->CanUndo();
        flags.ActiveCanRedo = memo1_->CanRedo();
    }
    flags.ClipboardHasText = ClipboardHoldsText();
    UpdateStatusLine();
}

void TMDIChild::UpdateStatusLine() {
    const QString status = FromUtf8(StatusText(memo1_->CaretLine(), memo1_->CaretColumn(),
                                               memo1_->LineCount(), memo1_->TextLength()));
    if (panel1_->text() != status) panel1_->setText(status);
    const QString mark = memo1_->Modified() ? QStringLiteral("*") : QString();
    if (panel0_->text() != mark) panel0_->setText(mark);
}

void TMDIChild::Memo1KeyPress(unsigned char& key) {
    if (!IsTerminalFont(memo1_->Font().name)) return;
    key = TerminalKey(key, SharedFlags().PseudoGraphicsInput);
}

bool TMDIChild::FileSaveItem() {
    TSharedDocumentFlags& flags = SharedFlags();
    flags.SaveFileName = IsUntitled() ? std::string() : Caption();
    if (flags.SaveFileName.empty()) {
        if (!FileSaveAsItem()) return false;
        memo1_->SetModified(false);
        return true;
    }
    try {
        if (!WriteInMode(flags.SaveFileName, memo1_->Modified() && !flags.NoBackupFlag))
            return false;
    } catch (const std::exception& error) {
        ReportError(error);
        return false;
    }
    memo1_->SetModified(false);
    return true;
}

bool TMDIChild::FileSaveAsItem() {
    TSharedDocumentFlags& flags = SharedFlags();
    FileDialogRequest request;
    request.filter = SaveDialogFilter(flags.CompilerExtensionCopy);
    request.fileName = IsUntitled() ? std::string() : Caption();
    request.overwritePrompt = true;
    const auto chosen = Dialogs::Current().SaveFile(request);
    if (!chosen || chosen->files.empty() || chosen->files.front().empty()) return false;
    const std::string name = chosen->files.front();
    const bool converted = DosMode != 0 || Koi8Mode != 0;
    // A converted copy is an export: the window keeps showing its own file.
    try {
        if (!WriteInMode(name, false, converted)) return false;
    } catch (const std::exception& error) {
        ReportError(error);
        return false;
    }
    if (converted) return true;
    flags.SaveFileName = name;
    SetCaption(name);
    FileName = name;
    memo1_->SetModified(false);
    const std::string extension = UpperAscii(FileExtension(name));
    flags.CurrentExtension = extension.empty() ? std::string("EXE") : extension;
    return true;
}

} // namespace lorvane
