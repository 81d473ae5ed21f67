// The frame's side of how files keep their text: the mode a file opens in,
// the status bar fields for the active document's line breaks and code
// page, the question about files changed by other programs, and the check
// of what is pasted into a DOS or KOI8 window.
#include "app/FileMemory.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>

namespace lorvane {
namespace {

TModeChoice ModeOf(char mode) {
    return mode == 'D' ? TModeChoice::Dos : mode == 'K' ? TModeChoice::Koi8 : TModeChoice::Plain;
}

bool SameFile(const std::string& a, const TFileStamp& aStamp, const std::string& b) {
    if (a == b) return true;
    const TFileStamp bStamp = StampOf(b);
    return aStamp.exists && bStamp.exists && aStamp.device == bStamp.device &&
           aStamp.inode == bStamp.inode;
}

QLabel* NewField(QStatusBar* bar, const char* name) {
    auto* field = new QLabel(bar);
    field->setObjectName(name);
    field->setAlignment(Qt::AlignCenter);
    field->setContentsMargins(6, 0, 6, 0);
    bar->addPermanentWidget(field);
    return field;
}

} // namespace

TMainFormLorvane::TOpening TMainFormLorvane::OpeningOf(const std::string& name, TMDIChild& window) {
    TOpening opening;
    // The same file in two windows is shown one way: the build cycle's
    // reopened source, for one, must look as the window it replaces.
    const TFileStamp stamp = StampOf(name);
    for (TMDIChild* other : Children()) {
        if (other == &window || other->Document.path.empty() ||
            !SameFile(name, stamp, other->Document.path))
            continue;
        return OpeningLike(*other);
    }
    // The "Terminal" font shows code page 866 itself: no display mode.
    const bool terminal = IsTerminalFont(window.Memo1().Font().name);
    if (const std::optional<TRememberedFile> remembered = RecallFile(name)) {
        opening.mode = terminal ? TModeChoice::Plain : ModeOf(remembered->mode);
        opening.caret = remembered->caret;
        return opening;
    }
    opening.mode = settings_.RecognizeCodePages() ? TModeChoice::Guess : TModeChoice::Plain;
    return opening;
}

TMainFormLorvane::TOpening TMainFormLorvane::OpeningLike(const TMDIChild& window) {
    TOpening opening;
    opening.mode = window.DosMode != 0    ? TModeChoice::Dos
                   : window.Koi8Mode != 0 ? TModeChoice::Koi8
                                          : TModeChoice::Plain;
    opening.utf8 = AnswerOf(window.Document.form);
    return opening;
}

void TMainFormLorvane::PlaceCaret(TDocumentEditor& editor, std::int32_t position) {
    const std::int32_t at = std::min(position, editor.TextLength());
    editor.SetSelStart(at);
    // Brought into view as the build cycle puts a caret back.
    editor.PutCaret(editor.CaretLine(), editor.CaretColumn());
    editor.SetSelStart(at);
}

void TMainFormLorvane::UpdateDocumentFields(TMDIChild* active) {
    if (breakField_ == nullptr) {
        breakField_ = NewField(statusBar1_, "BreakField");
        codingField_ = NewField(statusBar1_, "CodingField");
        breakField_->setToolTip(QString::fromUtf8("Перевод строки в файле"));
        codingField_->setToolTip(QString::fromUtf8("Кодировка файла"));
    }
    QString breaks, coding;
    if (active != nullptr) {
        breaks = QString::fromUtf8(BreakName(active->Memo1().LineBreak()).data());
        const TDocumentForm& form = active->Document.form;
        const bool dos = active->DosMode != 0, koi8 = active->Koi8Mode != 0;
        // The "Terminal" font shows a file's own bytes as code page 866 and
        // types letters in it: that is the page the file is kept in.
        const bool terminal866 =
            !form.utf8 && !dos && !koi8 && IsTerminalFont(active->Memo1().Font().name);
        coding = QString::fromStdString((terminal866 ? "866" : CodingName(form, dos, koi8)) +
                                        (form.viewOnly ? " (только просмотр)" : ""));
    }
    if (breakField_->text() != breaks) breakField_->setText(breaks);
    if (codingField_->text() != coding) codingField_->setText(coding);
}

void TMainFormLorvane::CheckFilesOnDisk() {
    // The question's own event loop comes back through the idle pass.
    static bool asking = false;
    TMDIChild* active = ActiveChild();
    if (asking || active == nullptr) return;
    asking = true;
    active->CheckFileOnDisk();
    asking = false;
}

bool TMainFormLorvane::MayPaste() {
    TMDIChild* window = ActiveChild();
    if (window == nullptr || (window->DosMode == 0 && window->Koi8Mode == 0)) return true;
    const QString text = QApplication::clipboard()->text();
    for (const QChar c : text) {
        const int b = cp::FromUnicode(cp::CodePage::Win1251, c.unicode());
        char32_t written = 0;
        if (b < 0x80 || !ChangesInFile(static_cast<unsigned char>(b), window->Document.form,
                                       window->DosMode != 0, window->Koi8Mode != 0, written))
            continue;
        std::string shown, inFile;
        cp::AppendUtf8(shown, c.unicode());
        cp::AppendUtf8(inFile, written);
        return Dialogs::Current().MessageBox(
                   "Знак «" + shown + "» нельзя записать в кодировке " +
                       CodingName(window->Document.form, window->DosMode != 0,
                                  window->Koi8Mode != 0) +
                       ": в файле он станет «" + inFile + "».\nВсё равно вставить?",
                   std::string(kAttention), mbYes | mbNo, MsgIcon::Warning) == MsgResult::Yes;
    }
    return true;
}

} // namespace lorvane
