#pragma once
// The document window: one text in one editor control, a two-panel status
// line under it (modified mark; caret, line count and size), its own save
// and close query, and the typing translation for the "Terminal" font.
// The module also keeps the flags the frame and all document windows share.
#include "app/DocumentEditor.h"
#include "app/DocumentFile.h"

#include <QMdiSubWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QLabel;
class QStatusBar;

namespace lorvane {

class TStream;

// One value each for the whole program: the active window's state as the
// frame needs it, and what the file commands tell a window being created.
struct TSharedDocumentFlags {
    bool PseudoGraphicsInput = false;
    bool TerminalFontActive = false;
    bool ActiveDosMode = false;
    bool ActiveKoi8Mode = false;
    bool ActiveCanUndo = false;
    bool ActiveCanRedo = false;
    bool ClipboardHasText = false;
    bool NoBackupFlag = false;
    std::string NewDocumentPending = "False";
    std::string CurrentExtension;
    std::string CompilerExtensionCopy;
    std::string SaveFileName;
};
TSharedDocumentFlags& SharedFlags() noexcept;

// The caption of a document that has no file yet, and how messages name it.
inline constexpr std::string_view kUntitled = "Untitled";
inline constexpr std::string_view kNoName = "без имени";
inline constexpr std::string_view kAttention = "Внимание !";

// From the last dot after the last path separator (or drive colon) to the
// end, dot included; empty when there is none.
std::string FileExtension(std::string_view name);
// ASCII a..z only, as extensions are compared.
std::string UpperAscii(std::string_view text);

// The backup of `fileName` is its name with the extension replaced by
// ".BAK". It takes a copy of the file as it is now; the caller then
// replaces the file itself, so the old text is never only in one place.
// The copy replaces the old backup only when complete; a failure raises.
std::string BackupName(std::string_view fileName);
void MakeBackup(const std::string& fileName);

// Writes a document: `fill` produces the new contents in a temporary file
// beside `path`; only when it is complete is the backup taken (when asked)
// and the temporary renamed over the file. Raises on failure with the old
// file (and backup) untouched: also for a file the user may not write.
// Temporaries a killed save left beside them are removed afterwards.
void WriteDocumentFile(const std::string& path, bool backup,
                       const std::function<void(TStream&)>& fill);

// "Курсор: L : C    Строк: N        Размер текста: S  байт"
std::string StatusText(std::int32_t caretLine, std::int32_t caretColumn, std::int32_t lineCount,
                       std::int32_t textLength);

// The save dialog's filter: the compiler's extension first.
std::string SaveDialogFilter(std::string_view compilerExtension);

// A name the program completed with an extension after the save dialog's
// overwrite question was asked about the name without it: true when no
// such file exists or the user agrees to replace it.
bool MayReplaceCompletedName(const std::string& name);

// Shows an error the way the program's default handler does.
void ReportError(const std::exception& error);

class TRegForm;

class TMDIChild : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TMDIChild(std::unique_ptr<TDocumentEditor> editor, QWidget* parent = nullptr);
    ~TMDIChild() override;

    TDocumentEditor& Memo1() noexcept { return *memo1_; }
    QStatusBar* StatusBar1() const noexcept { return statusBar1_; }
    // Panel 0: the modified mark; panel 1: caret and size.
    QString PanelText(int index) const;
    void ClearModifiedPanel();

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    bool IsUntitled() const { return Caption() == kUntitled; }

    // Told the new name whenever the caption changes to another.
    std::function<void(const std::string& name)> OnRenamed;

    std::uint8_t DosMode = 0;
    std::uint8_t Koi8Mode = 0;
    std::string FileName;
    // Set when the user answered No to the save question of a close that
    // may still be called off (the program's close-all pass): the modified
    // flag is cleared then, and comes back if the close does not happen.
    bool DiscardedOnClose = false;

    void FormActivate();
    // The window's own question before it closes: true when it may close.
    // Yes saves, and the window stays when that save does not happen.
    bool FormCloseQuery();
    // The close query the window really runs: its own question, then the
    // placement stored for the next document window when it may close.
    bool CloseQuery();
    TRegForm& RegForm1() noexcept { return *regForm1_; }
    // Refreshes the status line and the shared flags (the frame calls it on
    // every idle pass for the active window).
    void UpdateStatus();
    // The status line alone, for a window that is not the active one.
    void UpdateStatusLine();
    void Memo1KeyPress(unsigned char& key);

    // Own Save and Save As: true when the text reached a file.
    bool FileSaveItem();
    bool FileSaveAsItem();
    // Writes the text to `path` in the window's own display mode and its
    // file's form (the frame's saves use it too, so the close-all pass
    // writes each window in its mode, not the active window's). False when
    // the user called it off: the file changed on disk, or characters its
    // code page cannot hold. Afterwards the window shows `path`, unless the
    // write is an exported copy. Raises when the write fails.
    bool WriteInMode(const std::string& path, bool backup, bool exportCopy = false);

    // ---- The file behind the text ----
    TDocumentFile Document;
    // Reads `path` into the window: line breaks, UTF-8 or a single-byte
    // page, and the display mode `mode` asks for (a guess: the page the text
    // looks written in). Raises when the file cannot be read or shown
    // whole; the window is unchanged then. A UTF-8 text the page cannot
    // hold whole is asked about unless `answer` already says.
    void LoadFile(const std::string& path, TModeChoice mode, TUtf8Answer answer = TUtf8Answer::Ask);
    // After activation: when the file changed on disk or went away, asks
    // what to do (at most once for each change).
    void CheckFileOnDisk();
    // The display mode and caret kept for the next opening of the file.
    void RememberFile() const noexcept;
    // A UTF-8 file's text is held in the page its font shows (866 under the
    // "Terminal" font, else Windows-1251), or typed letters and the text
    // shown would be written back as other characters. Before the window
    // takes the font `fontName` the text moves to that font's page; false,
    // after telling the user, when that page lacks one of its characters:
    // the font must then stay.
    bool FollowFontPage(const std::string& fontName);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool ConfirmOverwrite();
    bool ConfirmLoss(std::string_view singleBytes, const TByteCounts& counts,
                     const std::string& path);
    void ReloadFile();
    std::unique_ptr<TDocumentEditor> memo1_;
    QStatusBar* statusBar1_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    std::unique_ptr<TRegForm> regForm1_;
    std::string caption_; // the name exactly, whatever its encoding
};

} // namespace lorvane
