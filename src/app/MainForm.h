#pragma once
// The main frame: a multiple-document window with the menu bar, the tool
// buttons, the status bar and the support components. It keeps every menu
// item and button enabled, checked or pressed on each idle pass and at each
// change of the active document, and carries the file commands.
#include "about/AboutWin.h"
#include "app/Child.h"
#include "app/HandOver.h"
#include "app/Settings.h"
#include "codepage/CodePageLetters.h"
#include "platform/Dialogs.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QPrinter;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace lorvane {

class TFileMenuOpens;
class TRegForm;
class TTrayIcon;
class THexCalc;
class TXJustOne;
// ---- Build tools ----
class SiblingChannel;
class TPathAss;
class TMessagesPane;
// ---- Highlighting ----
class TSyntaxCatalog;
struct TColourScheme;

// A tool's file beside the document `caption`: its extension (everything
// from the last dot of the name part) replaced by `extension`, which
// carries its own dot.
std::string ToolFileName(std::string_view caption, std::string_view extension);

using EditorFactory = std::function<std::unique_ptr<TDocumentEditor>()>;

class TMainFormLorvane : public QMainWindow {
    Q_OBJECT
public:
    // `editors` makes the editor of every new document window. The single-
    // instance guard acts while the frame is built: in a second start it
    // hands `parameters` (the command line, program name excluded) over.
    TMainFormLorvane(EditorFactory editors, std::vector<std::string> parameters,
                     QWidget* parent = nullptr);
    ~TMainFormLorvane() override;

    // ---- Components, for the program's start and for tests ----
    QAction* Item(std::string_view name) const;
    QToolButton* Button(std::string_view name) const;
    QMenu* Menu(std::string_view name) const;
    QMdiArea* MdiArea() const noexcept { return mdiArea_; }
    QStatusBar* StatusBar1() const noexcept { return statusBar1_; }
    TXJustOne& XJustOne1() noexcept { return *xJustOne1_; }
    TFileMenuOpens& FileMenuOpens1() noexcept { return *fileMenuOpens1_; }
    TRegForm& RegForm1() noexcept { return *regForm1_; }
    // None in a second start, which never shows itself.
    TTrayIcon* TrayIcon1() noexcept { return trayIcon1_; }
    Settings& AppSettings() noexcept { return settings_; }
    void SetAboutBox(TAboutWin1* about) noexcept { aboutWin1_ = about; }

    // Document windows in creation (index) order, and the active one.
    std::vector<TMDIChild*> Children() const;
    TMDIChild* ActiveChild() const;

    bool FirstActivationDone() const noexcept { return firstActivationDone_; }
    bool CloseAllActive() const noexcept { return closeAllActive_; }
    const std::string& OpenDialogFileName() const noexcept { return openDialogFileName_; }

    // ---- Frame events ----
    void FormCreate();
    void AboutBoxCr();
    void MyAppIdle();
    void UpdateMenuItems();
    // Tells the user once of each registry file that had unreadable lines.
    void ReportSetAsideRegistry();
    void ShowHint(const QString& hint);
    void XJustOne1AlreadyExist();

    // ---- File commands ----
    void FileNewItemClick();
    void FileOpenItemClick();
    void FileOpenAll(const std::string& name);
    void FileMenuOpens1Action(QAction* sender);
    // Save and Save As report whether the text reached a file.
    bool FileSaveItemClick();
    bool FileSaveAsItemClick();
    void NoBAT1Click();
    void FileCloseItemClick();
    bool FileCloseWinees(TMDIChild* window);
    // The close-all pass: every window's own question first, then the
    // frame's pass. True when the frame may close.
    bool FormCloseQuery();

    // ---- Window menu ----
    void WindowCascadeItemClick();
    void WindowTileItemClick();
    void WindowArrangeItemClick();
    void WindowMinimizeItemClick();
    void HelpAboutItemClick();

    // ---- Build tools ----
    void LST1Click();
    void N14Click();
    // Saves the window before a compile; true when the compiler may run on
    // the file its caption names.
    bool FileAssembWinees(TMDIChild* window);
    // The listing's window, or null when it could not be loaded.
    // A listing, shown in the display mode of the source it was made from.
    TMDIChild* LoadLSTFile(const std::string& name, const TMDIChild* source = nullptr);
    void N16Click();
    void SpeedButton12Click();
    void DOS1Click();
    void N81Click();
    void N20Click();
    void N28Click();
    void N15Click();
    // A message from the search-in-files program.
    void SearchProgramMessage(int message);
    bool Compiling() const noexcept { return compiling_; }
    TPathAss& PathAss1();
    SiblingChannel& Channel() noexcept { return *siblingChannel_; }
    // ---- Build output: the messages pane, jumps to messages, go to line ----
    TMessagesPane& MessagesPane1() noexcept { return *messagesPane_; }
    void GoToLineClick();
    void NextMessageClick();
    void PreviousMessageClick();
    void MessagesPaneClick();
    // The items' enabled and checked states (on every idle pass).
    void UpdateBuildOutputItems();
    // Shows line `line` (from 1) of `file`, opening the file when no window
    // has it, with the caret at the line's start.
    void JumpToMessage(const std::string& file, std::int32_t line);
    // ---- Text commands ----
    void CutItemClick();
    void CopyItemClick();
    void PasteItemClick();
    void N12Click(); // undo
    void Redo1Click();
    void N4Click();  // select all
    void N27Click(); // delete the caret's line
    void N23Click(); // bold
    void N24Click(); // italic
    void N22Click(); // underline
    void N9Click();  // fixed pitch
    void N11Click(); // auto-indent
    void N36Click(); // pseudo-graphics input
    void N01Click(); // tabs to spaces
    void N91Click(); // spaces to tabs
    void Fonts1Click();
    void N18Click(); // background colour
    // The display modes: the button's state decides; the menu items flip it.
    void SpeedButton15Click();
    void OEM1Click();
    void SpeedButton16Click();
    void Ansi1Click();
    void Search1Click();
    void Replace2Click();
    void SearchAgain2Click();
    void N26Click(); // calculator
    void N7Click();  // print
    void N3Click();  // printer set-up
    void N8Click();  // printer font
    // The program's calculator (not owned); without one the frame makes its own.
    void SetCalculator(THexCalc* calculator) noexcept;
    std::int32_t CalculatorValue() const noexcept { return calculatorValue_; }
    // What a print hands over: the printer, the font and the lines in order.
    // The default draws them on the printer; tests put a recorder here.
    using LinePrinter =
        std::function<void(QPrinter&, const LogicalFont&, const std::vector<std::string>&)>;
    void SetLinePrinter(LinePrinter printer) { linePrinter_ = std::move(printer); }

    // ---- Highlighting ----
    // The switch: on or off for every window, and remembered.
    void HighlightItemClick();
    // Colours `window` by the extension of `name`, as the switch and the
    // settings file say.
    void ColourWindow(TMDIChild& window, std::string_view name);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    void CreateToolButtons();
    void Enable(std::string_view name, bool on);
    void EnableButton(std::string_view name, bool on);
    void SetChecked(std::string_view name, bool on);
    void SetDown(std::string_view name, bool on);
    void OnSubWindowActivated();
    void RebuildWindowList();

    TMDIChild* NewDocumentWindow(const std::string& caption);
    void ApplyAppearance(TMDIChild& window);
    void LoadInto(TMDIChild& window, const std::string& name, TModeChoice mode, TUtf8Answer answer);
    // The file `name` in a new window first captioned `caption`, left
    // unmodified and captioned with the name; on a failed load the error
    // is shown, the window goes and the result is null.
    // `like`, when given, is a window whose way of showing its file the
    // new one takes (a listing, that of its source).
    TMDIChild* OpenInNewWindow(const std::string& caption, const std::string& name,
                               const TMDIChild* like = nullptr);
    // The window Save and Save As act on: the one the close-all pass asks
    // about while it runs, else the active one.
    TMDIChild* TargetWindow() const;
    bool SaveWindow(TMDIChild& window);
    bool SaveWindowAs(TMDIChild& window);

    // ---- How files keep their text ----
    struct TOpening {
        TModeChoice mode = TModeChoice::Guess;
        std::int32_t caret = 0;
        TUtf8Answer utf8 = TUtf8Answer::Ask;
    };
    // How `name` opens in `window`: as another window already shows it,
    // else as it was shown last time, else as its text looks.
    TOpening OpeningOf(const std::string& name, TMDIChild& window);
    // Shown as `window` shows its file.
    static TOpening OpeningLike(const TMDIChild& window);
    static void PlaceCaret(TDocumentEditor& editor, std::int32_t position);
    // The active document's line breaks and code page in the status bar.
    void UpdateDocumentFields(TMDIChild* active);
    // Asks about the active window's file when another program changed it.
    void CheckFilesOnDisk();
    // False when the clipboard holds characters the active DOS or KOI8
    // window's file cannot hold and the user keeps them out.
    bool MayPaste();
    QLabel* breakField_ = nullptr;
    QLabel* codingField_ = nullptr;

    // ---- Text commands ----
    void ConnectTextCommands();
    TDocumentEditor* ActiveEditor() const;
    void SwitchDisplayMode(bool dos);
    void ConvertWin(TDocumentEditor& editor, TConvType from, TConvType to);
    void ConvertLines(void (*convert)(std::string_view line, std::string& out));
    void FindInText(const FindOptions& options);
    void ReplaceInText(const FindEvent& event);
    void NotFound(const std::string& findText);
    QPrinter& Printer();

    FindOptions findDialog1_;
    FindEvent replaceDialog1_;
    // The font dialog's own font: the document font command presets it too,
    // so the printer font follows a later document font choice.
    FontChoice fontDialog1_;
    QPointer<THexCalc> hexCalc_;
    std::shared_ptr<QPrinter> printer_;
    LinePrinter linePrinter_;

    EditorFactory editors_;
    std::vector<std::string> parameters_;
    Settings settings_;
    std::unique_ptr<TXJustOne> xJustOne1_;
    std::unique_ptr<TFileMenuOpens> fileMenuOpens1_;
    std::unique_ptr<TRegForm> regForm1_;
    TTrayIcon* trayIcon1_ = nullptr; // a child of the frame
    QPointer<TAboutWin1> aboutWin1_;

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* speedPanel_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    std::map<std::string, QAction*, std::less<>> items_;
    std::map<std::string, QToolButton*, std::less<>> buttons_;
    std::map<std::string, QMenu*, std::less<>> menus_;
    std::vector<QAction*> windowListItems_;

    bool firstActivationDone_ = false;
    std::int32_t calculatorValue_ = 0;
    bool printerFontChosen_ = false;
    bool findMode_ = false;
    bool closeAllActive_ = false;
    std::uint16_t closeAllIndex_ = 1;
    std::string openDialogFileName_;
    bool inIdle_ = false;
    QMetaObject::Connection idleConnection_;
    // Files handed over by later starts, opened one after another from the
    // idle pass (an open may show a message, whose own loop must not open
    // the next one inside it).
    void OpenHandedOver();
    HandOverQueue handOvers_;
    bool openingHandOvers_ = false;

    // ---- Build tools ----
    void ConnectBuildTools();
    // Runs the compiler to its end, its output in the messages pane; the
    // frame repaints meanwhile but takes no input except the pane's. Raises
    // ProcessError when it cannot be started.
    void WaitForProgram(const std::string& commandLine, const std::string& baseDirectory);
    // Starts a tool whose output goes to the messages pane, without
    // waiting. Raises ProcessError when it cannot be started.
    void StartTool(const std::string& commandLine, const std::string& baseDirectory);
    void ConnectBuildOutput();
    // A listing's lines that name places go to the pane; double-clicking
    // one in the listing's window shows its place.
    void WatchListing(TMDIChild& listing);
    void ReopenSource(TMDIChild* old, const std::string& source, std::int32_t line,
                      std::int32_t column);
    bool compiling_ = false;
    std::vector<int> deferredMessages_;
    SiblingChannel* siblingChannel_ = nullptr; // child of the frame
    TPathAss* pathAss1_ = nullptr;             // child of the frame
    TMessagesPane* messagesPane_ = nullptr;    // child of the frame

    // ---- Highlighting ----
    void ConnectHighlighting();
    const TSyntaxCatalog& SyntaxCatalog();
    void ColourWindow(TMDIChild& window, std::string_view name, bool on,
                      const TColourScheme& colours);
    std::shared_ptr<TSyntaxCatalog> syntaxCatalog_; // read when first needed
    std::set<std::string> highlightErrorsShown_;
};

} // namespace lorvane
