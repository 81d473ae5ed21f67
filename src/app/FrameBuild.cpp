// The frame's build tools: the listing switch, compile with the listing
// load, link, run, run a named program, the working-settings dialog, and
// the sibling programs (search in files with its message exchange, the
// float byte viewer, the help page).
#include "app/HandOver.h"
#include "app/HelpPage.h"
#include "app/MainForm.h"
#include "app/PathAss.h"
#include "app/ToolOutputName.h"
#include "components/FileMO.h"
#include "components/JustOne.h"
#include "platform/Dialogs.h"
#include "platform/Process.h"
#include "platform/SiblingChannel.h"

#include <QAction>

#include <exception>
#include <filesystem>
#include <system_error>

namespace lorvane {
namespace {

// Messages of the search-in-files program's exchange.
constexpr int kOpenRequest = 1024 + 160;
constexpr int kSearchEnded = 1024 + 161;
constexpr int kEditorActivated = 1024 + 162;
constexpr int kSearchStarted = 1024 + 163;

// A plain message with an OK button, as tools that cannot start report.
void ShowMessage(const std::string& text) {
    Dialogs::Current().MessageBox(text, std::string(), mbOK, MsgIcon::None);
}

bool FileExists(const std::string& name) {
    std::error_code error;
    return std::filesystem::exists(name, error);
}

// True when the two names lead to one file (or are one name).
bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// Where relative names in a tool's messages are found: the directory of
// the file it works on.
std::string DirectoryOf(const std::string& fileName) {
    return std::filesystem::path(fileName).parent_path().string();
}

// The window's text is not what its file now holds: another program changed
// the file since the window read or wrote it. A text opened only for
// viewing is the file's own, however the file changed.
bool KeptOverAChange(const TMDIChild& window) {
    const TDocumentFile& file = window.Document;
    return !file.path.empty() && file.path == window.Caption() && file.known.exists &&
           !file.form.viewOnly && StampOf(file.path) != file.known;
}

// A file name as one word of a command line, whatever blanks or quotes it
// holds: the line is split into words before the program starts.
std::string ToolArgument(std::string_view fileName) {
    if (fileName.find_first_of(" \t\"") == std::string_view::npos) return std::string(fileName);
    std::string quoted = "\"";
    for (const char c : fileName) {
        quoted += c;
        if (c == '"') quoted += '"'; // doubled inside quotes: one literal quote
    }
    return quoted + "\"";
}

} // namespace

std::string ToolFileName(std::string_view caption, std::string_view extension) {
    const auto separator = caption.find_last_of("/\\:");
    const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    const auto dot = caption.find_last_of('.');
    const std::size_t cut =
        dot != std::string_view::npos && dot >= nameStart ? dot : caption.size();
    return std::string(caption.substr(0, cut)) + std::string(extension);
}

void TMainFormLorvane::ConnectBuildTools() {
    // A checkable item has already flipped itself when it reports the
    // trigger; the command decides the new state from the old one.
    QAction* lst1 = Item("LST1");
    connect(lst1, &QAction::triggered, this, [this, lst1] {
        lst1->setChecked(!lst1->isChecked());
        LST1Click();
    });
    connect(Item("N14"), &QAction::triggered, this, [this] { N14Click(); });
    connect(Item("N16"), &QAction::triggered, this, [this] { N16Click(); });
    connect(Item("N19"), &QAction::triggered, this, [this] { SpeedButton12Click(); });
    connect(Item("DOS1"), &QAction::triggered, this, [this] { DOS1Click(); });
    connect(Item("N15"), &QAction::triggered, this, [this] { N15Click(); });
    connect(Item("N81"), &QAction::triggered, this, [this] { N81Click(); });
    connect(Item("N20"), &QAction::triggered, this, [this] { N20Click(); });
    connect(Item("N28"), &QAction::triggered, this, [this] { N28Click(); });

    siblingChannel_ = new SiblingChannel(this);
    connect(siblingChannel_, &SiblingChannel::MessageReceived, this,
            [this](int message, int, int) { SearchProgramMessage(message); });
    // Only the instance that stays listens; a second start is on its way out.
    if (xJustOne1_->IsFirstInstance()) siblingChannel_->Listen();
    ConnectBuildOutput();
}

TPathAss& TMainFormLorvane::PathAss1() {
    if (pathAss1_ == nullptr) pathAss1_ = new TPathAss(this);
    return *pathAss1_;
}

void TMainFormLorvane::LST1Click() {
    const bool on = !Item("LST1")->isChecked();
    SetChecked("LST1", on);
    SetDown("SpeedButton17", on);
}

bool TMainFormLorvane::FileAssembWinees(TMDIChild* window) {
    openDialogFileName_ = window->IsUntitled() ? std::string(kNoName) : window->Caption();
    // A text kept in its window over another program's change to the file
    // (both left alone when asked): the compiler would read the other text,
    // and the reopened source would replace the window's unseen. The
    // question of a save over a changed file decides, as for any save.
    if (!window->Memo1().Modified()) {
        if (!KeptOverAChange(*window)) return true;
        try {
            return window->WriteInMode(window->Caption(), false);
        } catch (const std::exception& error) {
            ReportError(error);
            return false;
        }
    }
    // The compiler reads the file, so it runs only when the text is in it:
    // a refused write or a cancelled Save As stops the compile.
    if (!window->IsUntitled()) return SaveWindow(*window);
    const MsgResult answer = Dialogs::Current().MessageBox(
        "Текст в файле " + std::string(kNoName) +
            " нельзя ассемблировать. Выбрать имя и сохранить?",
        std::string(kAttention), mbYes | mbNo | mbCancel, MsgIcon::Warning);
    return answer == MsgResult::Yes && SaveWindow(*window);
}

void TMainFormLorvane::N14Click() {
    TMDIChild* active = ActiveChild();
    if (active == nullptr || compiling_ || settings_.Tools().assemblerPath.empty()) return;
    QPointer<TMDIChild> window = active;
    const std::int32_t line = active->Memo1().CaretLine();
    const std::int32_t column = active->Memo1().CaretColumn();
    const bool ok = FileAssembWinees(active);
    if (!ok || !window) return;
    const std::string source = window->Caption();
    const ToolSettings tools = settings_.Tools();

    std::string listing;
    if (Item("LST1")->isChecked()) {
        listing = ToolFileName(source, tools.listingExtension);
        // A listing name that is the source itself (same or empty listing
        // extension) must neither delete nor replace the source.
        if (SameFile(listing, source)) listing.clear();
    }
    if (!listing.empty()) RemoveToolOutputs(listing, source);

    compiling_ = true;
    try {
        WaitForProgram(tools.assemblerPath + " " + ToolArgument(source), DirectoryOf(source));
    } catch (const ProcessError&) {
        compiling_ = false;
        ShowMessage("Компилятор не найден!!!");
        listing.clear();
    } catch (...) {
        compiling_ = false;
        throw;
    }
    compiling_ = false;

    if (!listing.empty()) {
        const std::string written = ToolOutputFile(listing, source);
        for (TMDIChild* child : Children()) {
            if (child->Caption() != listing && child->Caption() != written) continue;
            child->Memo1().SetModified(false);
            child->close();
        }
        if (FileExists(written)) {
            // The listing repeats the source's lines: it reads in the
            // source's code page.
            TMDIChild* shown = LoadLSTFile(written, window);
            if (shown != nullptr) WatchListing(*shown);
        } else
            ShowMessage("Файл листинга не найден!!!");
        if (window) ReopenSource(window, source, line, column);
    }

    // Messages that came while the compiler ran are answered now.
    std::vector<int> deferred;
    deferred.swap(deferredMessages_);
    for (int message : deferred)
        SearchProgramMessage(message);
}

void TMainFormLorvane::ReopenSource(TMDIChild* old, const std::string& source, std::int32_t line,
                                    std::int32_t column) {
    SharedFlags().NewDocumentPending = "True";
    SharedFlags().CurrentExtension = UpperAscii(FileExtension(source));
    // When the source cannot be read back (the compiler removed it?) the
    // old window and its text stay.
    TMDIChild* window = OpenInNewWindow(source, source);
    if (window == nullptr) return;
    // The new window shows the file in the old window's display mode: a file
    // open in another window opens as it is shown there.
    window->Memo1().SetModified(false);
    window->ClearModifiedPanel();
    window->FileName = source;
    window->Memo1().PutCaret(line, column);
    // The old window holds the same saved text; its own close query still
    // guards anything that is not in the file.
    old->close();
}

TMDIChild* TMainFormLorvane::LoadLSTFile(const std::string& name, const TMDIChild* source) {
    // The listing's window keeps an empty file name: it cannot be compiled.
    // It repeats the source's lines, so it reads in the source's code page
    // rather than in whatever a guess would make of it.
    return OpenInNewWindow(name, name, source);
}

void TMainFormLorvane::N16Click() {
    TMDIChild* active = ActiveChild();
    const ToolSettings& tools = settings_.Tools();
    if (active == nullptr || tools.linkerPath.empty()) return;
    try {
        StartTool(tools.linkerPath + " " +
                      ToolArgument(ToolOutputFile(
                          ToolFileName(active->Caption(), tools.objectExtension),
                          active->Caption())),
                  DirectoryOf(active->Caption()));
    } catch (const ProcessError&) {
        ShowMessage("Линкер не найден!!!");
    }
}

void TMainFormLorvane::SpeedButton12Click() {
    TMDIChild* active = ActiveChild();
    const ToolSettings& tools = settings_.Tools();
    if (active == nullptr) return;
    if (tools.runProgram.empty() && tools.compiledExtension != ".EXE") return;
    try {
        StartTool(tools.runProgram + " " +
                      ToolArgument(ToolOutputFile(
                          ToolFileName(active->Caption(), tools.compiledExtension),
                          active->Caption())),
                  DirectoryOf(active->Caption()));
    } catch (const ProcessError&) {
        // A run that does not start is not reported.
    }
}

void TMainFormLorvane::DOS1Click() {
    const std::string previous = settings_.ReadRunProgram();
    const auto entered = Dialogs::Current().InputBox(
        "Выполнение файла", "Введите имя и путь (если нужно) файла", previous);
    if (!entered) return;
    try {
        const TMDIChild* active = ActiveChild();
        StartTool(*entered, active != nullptr ? DirectoryOf(active->Caption()) : std::string());
    } catch (const ProcessError&) {
        // As with Run: nothing is reported.
    }
    try {
        settings_.WriteRunProgram(*entered);
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

void TMainFormLorvane::N81Click() {
    try {
        process::Start(std::string_view("Numbrix.exe"));
    } catch (const ProcessError&) {
        ShowMessage("Numbrix.exe не найден!!!");
    }
}

void TMainFormLorvane::N20Click() {
    OpenHelpPage(this, HelpPagePath(), [](const std::string& text) {
        Dialogs::Current().MessageBox(text, std::string(kAttention), mbOK, MsgIcon::Warning);
    });
}

void TMainFormLorvane::N28Click() {
    try {
        process::Start(std::string_view("FINDORAX.EXE"));
    } catch (const ProcessError&) {
        // Reported by nothing, as the other plain starts; the item stays,
        // since no search program will ever enable it again.
        return;
    }
    Enable("N28", false);
}

void TMainFormLorvane::SearchProgramMessage(int message) {
    if (compiling_) {
        deferredMessages_.push_back(message);
        return;
    }
    switch (message) {
    case kOpenRequest: {
        Enable("N28", false);
        SiblingChannel::Send(kEditorActivated, 0, 0);
        const std::string name = TakeSearchProgramRequest();
        if (name.empty()) break;
        FileOpenAll(name);
        fileMenuOpens1_->AddFile(name);
        closeAllActive_ = false;
        settings_.ReadToolSettings();
        break;
    }
    case kSearchEnded:
        Enable("N28", true);
        break;
    case kSearchStarted:
        SiblingChannel::Send(kEditorActivated, 0, 0);
        Enable("N28", false);
        break;
    default:
        break;
    }
}

void TMainFormLorvane::N15Click() {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    settings_.ReadToolSettings();
    TPathAss& dialog = PathAss1();
    dialog.Values() = settings_.Tools();
    if (dialog.exec() == QDialog::Accepted) {
        ToolSettings& values = dialog.Values();
        for (std::string* extension : {&values.compilerExtension, &values.objectExtension,
                                       &values.compiledExtension, &values.listingExtension})
            if (!extension->empty() && extension->front() != '.') extension->insert(0, ".");
        try {
            settings_.WriteToolSettings(values);
        } catch (const std::exception& failure) {
            ReportError(failure);
        }
    }
    // The dialog's file dialogs may have moved the current directory.
    if (!error) std::filesystem::current_path(directory, error);
}

} // namespace lorvane
