// The frame's text commands: clipboard, undo, styles, pitch, indent, the
// DOS and KOI8 display modes, tabs and spaces, font and colours, find and
// replace, the calculator and printing. Each acts on the active document.
#include "app/CommandProgress.h"
#include "app/MainForm.h"
#include "app/TabConvert.h"
#include "calc/HexCalc.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QShortcut>
#include <QToolButton>

#include <cerrno>

namespace lorvane {
namespace {

// Dialog texts are UTF-8; the editor holds Windows-1251 bytes, or code page
// 866 bytes under the DOS font, where typed letters are stored that way.
std::string ToEditorBytes(TDocumentEditor& editor, const std::string& utf8) {
    const cp::CodePage page =
        IsTerminalFont(editor.Font().name) ? cp::CodePage::Cp866 : cp::CodePage::Win1251;
    return cp::EncodeFromUtf8(page, utf8);
}

// A text open only for viewing (a UTF-8 file with characters the editor
// cannot hold) is never written, so no command changes it: a change there
// could only be lost, after a save question that no save can answer. Its
// control's own keys refuse the same.
TDocumentEditor* Editable(TDocumentEditor* editor) noexcept {
    return editor != nullptr && !editor->ReadOnly() ? editor : nullptr;
}

bool EqualIgnoringCase(TDocumentEditor& editor, std::string_view a, std::string_view b) {
    return IsTerminalFont(editor.Font().name) ? cp::EqualIgnoringCase866(a, b)
                                              : cp::EqualIgnoringCase1251(a, b);
}

// The hourglass for the length of a search.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Brings the caret into view after work done inside an update bracket,
// where the control does not scroll; the caret stays where it is.
void ShowCaret(TDocumentEditor& editor) {
    editor.ScrollCaretIntoView();
}

// The printer's path: one printed line per text line, pages filled top to
// bottom. No lines, no print job.
void PaintLines(QPrinter& printer, const LogicalFont& font, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    QPainter painter;
    if (!painter.begin(&printer))
        IoError::Throw("print to", printer.outputFileName().toStdString(), EIO);
    painter.setFont(MakeFont(font));
    const QFontMetrics metrics = painter.fontMetrics();
    const int height = painter.viewport().height();
    // The "Terminal" font shows the bytes as code page 866 letters, on paper
    // as on the screen.
    const cp::CodePage page =
        IsTerminalFont(font.name) ? cp::CodePage::Cp866 : cp::CodePage::Win1251;
    int y = metrics.ascent();
    for (const std::string& line : lines) {
        if (y + metrics.descent() > height && y > metrics.ascent()) {
            if (!printer.newPage())
                IoError::Throw("print to", printer.outputFileName().toStdString(), EIO);
            y = metrics.ascent();
            TCommandProgress::Report(static_cast<int>(&line - lines.data()) * 100 /
                                     static_cast<int>(lines.size()));
        }
        // The painter has no tab stops of its own; the editor's are used.
        painter.drawText(0, y, QString::fromStdString(cp::DecodeToUtf8(page, TabsToSpaces(line))));
        y += metrics.lineSpacing();
    }
    if (!painter.end()) IoError::Throw("print to", printer.outputFileName().toStdString(), EIO);
}

} // namespace

void TMainFormLorvane::ConnectTextCommands() {
    const auto on = [this](const char* name, void (TMainFormLorvane::*command)()) {
        connect(Item(name), &QAction::triggered, this, [this, command] { (this->*command)(); });
    };
    // A check-mark item has flipped its mark before it reports; the
    // command decides from the mark it had, and sets it itself.
    const auto toggle = [this](const char* name, void (TMainFormLorvane::*command)()) {
        QAction* item = Item(name);
        connect(item, &QAction::triggered, this, [this, item, command] {
            item->setChecked(!item->isChecked());
            (this->*command)();
        });
    };
    on("CutItem", &TMainFormLorvane::CutItemClick);
    on("CopyItem", &TMainFormLorvane::CopyItemClick);
    on("PasteItem", &TMainFormLorvane::PasteItemClick);
    on("N12", &TMainFormLorvane::N12Click);
    on("Redo1", &TMainFormLorvane::Redo1Click);
    on("N4", &TMainFormLorvane::N4Click);
    on("N27", &TMainFormLorvane::N27Click);
    on("N23", &TMainFormLorvane::N23Click);
    on("N24", &TMainFormLorvane::N24Click);
    on("N22", &TMainFormLorvane::N22Click);
    toggle("N9", &TMainFormLorvane::N9Click);
    toggle("N11", &TMainFormLorvane::N11Click);
    toggle("N36", &TMainFormLorvane::N36Click);
    toggle("OEM1", &TMainFormLorvane::OEM1Click);
    toggle("Ansi1", &TMainFormLorvane::Ansi1Click);
    on("N01", &TMainFormLorvane::N01Click);
    on("N91", &TMainFormLorvane::N91Click);
    on("Fonts1", &TMainFormLorvane::Fonts1Click);
    on("N18", &TMainFormLorvane::N18Click);
    on("Search1", &TMainFormLorvane::Search1Click);
    on("Replace2", &TMainFormLorvane::Replace2Click);
    on("SearchAgain2", &TMainFormLorvane::SearchAgain2Click);
    on("N26", &TMainFormLorvane::N26Click);
    on("N7", &TMainFormLorvane::N7Click);
    on("N3", &TMainFormLorvane::N3Click);
    on("N8", &TMainFormLorvane::N8Click);
    // A hidden item's shortcut never fires, so the delete-line key has a
    // shortcut of its own on the frame.
    auto* deleteLine = new QShortcut(Item("N27")->shortcut(), this);
    deleteLine->setObjectName("N27Shortcut");
    connect(deleteLine, &QShortcut::activated, this, [this] { N27Click(); });
    // The mode buttons stand for no item; Qt has pressed or released them
    // by the time they report.
    connect(Button("SpeedButton15"), &QToolButton::clicked, this, [this] {
        SpeedButton15Click();
        UpdateMenuItems();
    });
    connect(Button("SpeedButton16"), &QToolButton::clicked, this, [this] {
        SpeedButton16Click();
        UpdateMenuItems();
    });
}

TDocumentEditor* TMainFormLorvane::ActiveEditor() const {
    TMDIChild* window = ActiveChild();
    return window != nullptr ? &window->Memo1() : nullptr;
}

// ---- Editing ----

void TMainFormLorvane::CutItemClick() {
    if (TDocumentEditor* editor = Editable(ActiveEditor())) editor->CutToClipboard();
}

void TMainFormLorvane::CopyItemClick() {
    if (TDocumentEditor* editor = ActiveEditor()) editor->CopyToClipboard();
}

void TMainFormLorvane::PasteItemClick() {
    if (TDocumentEditor* editor = Editable(ActiveEditor()); editor != nullptr && MayPaste())
        editor->PasteFromClipboard();
}

void TMainFormLorvane::N12Click() {
    if (TDocumentEditor* editor = Editable(ActiveEditor())) editor->Undo();
}

void TMainFormLorvane::Redo1Click() {
    if (TDocumentEditor* editor = Editable(ActiveEditor())) editor->Redo();
}

void TMainFormLorvane::N4Click() {
    if (TDocumentEditor* editor = ActiveEditor()) editor->SelectAll();
}

void TMainFormLorvane::N27Click() {
    if (TDocumentEditor* editor = Editable(ActiveEditor())) editor->DeleteLine(editor->CaretLine());
}

void TMainFormLorvane::N23Click() {
    TDocumentEditor* editor = Editable(ActiveEditor());
    if (editor == nullptr) return;
    editor->ToggleBold();
    SetChecked("N23", (editor->CaretStyle() & fsBold) != 0);
}

void TMainFormLorvane::N24Click() {
    TDocumentEditor* editor = Editable(ActiveEditor());
    if (editor == nullptr) return;
    editor->ToggleItalic();
    SetChecked("N24", (editor->CaretStyle() & fsItalic) != 0);
}

void TMainFormLorvane::N22Click() {
    TDocumentEditor* editor = Editable(ActiveEditor());
    if (editor == nullptr) return;
    editor->ToggleUnderline();
    SetChecked("N22", (editor->CaretStyle() & fsUnderline) != 0);
}

void TMainFormLorvane::N9Click() {
    TDocumentEditor* editor = ActiveEditor();
    if (editor == nullptr) return;
    const bool fixed = !Item("N9")->isChecked();
    LogicalFont font = editor->Font();
    font.fixedPitch = fixed;
    editor->SetFont(font);
    SetChecked("N9", fixed);
    SetDown("SpeedButton3", fixed);
}

void TMainFormLorvane::N11Click() {
    TDocumentEditor* editor = ActiveEditor();
    if (editor == nullptr) return;
    const bool indent = !Item("N11")->isChecked();
    editor->SetAutoIndent(indent);
    SetChecked("N11", indent);
}

void TMainFormLorvane::N36Click() {
    const bool on = !Item("N36")->isChecked();
    SharedFlags().PseudoGraphicsInput = on;
    SetChecked("N36", on);
}

// ---- Tabs and spaces ----

void TMainFormLorvane::ConvertLines(LineConverter convert) {
    TDocumentEditor* editor = Editable(ActiveEditor());
    if (editor == nullptr) return;
    // Whole lines (the text between line breaks), not display lines: a tab
    // on a wrapped line is measured from the line's start, and no piece of
    // a line hides at a wrap.
    TCommandProgress progress(statusBar1_, QString::fromUtf8(convert == &AppendTabsAsSpaces
                                                                 ? "Табуляции в пробелы"
                                                                 : "Пробелы в табуляции"));
    TCommandProgress::Report(0);
    editor->ConvertLines(convert);
    ShowCaret(*editor);
}

void TMainFormLorvane::N01Click() {
    ConvertLines(&AppendTabsAsSpaces);
}

void TMainFormLorvane::N91Click() {
    ConvertLines(&AppendSpacesAsTabs);
}

// ---- Display modes ----

void TMainFormLorvane::ConvertWin(TDocumentEditor& editor, TConvType from, TConvType to) {
    // The whole text, not the display lines: joining those would put line
    // breaks where the text only wraps. The exchange is exact both ways, so
    // switching a mode on and off gives back every byte, also of a text that
    // was never in the mode's code page. The text keeps its length, and the
    // caret its place.
    const std::int32_t caret = editor.SelStart();
    TCommandProgress::Report(10);
    editor.ExchangeBytes(CodePageExchange(from, to));
    TCommandProgress::Report(20);
    editor.SetSelStart(caret);
}

void TMainFormLorvane::SwitchDisplayMode(bool dos) {
    TMDIChild* window = ActiveChild();
    if (window == nullptr) return;
    TDocumentEditor& editor = window->Memo1();
    const char* button = dos ? "SpeedButton15" : "SpeedButton16";
    const char* item = dos ? "OEM1" : "Ansi1";
    const char* otherButton = dos ? "SpeedButton16" : "SpeedButton15";
    const char* otherItem = dos ? "Ansi1" : "OEM1";
    const TConvType page = dos ? PG_DOS886 : PG_KOI;
    TCommandProgress progress(statusBar1_, QString::fromUtf8("Перекодировка текста"));

    // The buttons follow the active window only at the next idle pass; the
    // window's own mode decides what is converted, so a button left from
    // another window never converts a text twice or the wrong way, and one
    // mode is never stacked on the other.
    const bool wasOn = (dos ? window->DosMode : window->Koi8Mode) != 0;
    // A UTF-8 file has no code page to show its text in another way.
    const bool otherOn =
        (dos ? window->Koi8Mode : window->DosMode) != 0 || window->Document.form.utf8;
    const bool on = !otherOn && Button(button)->isChecked();
    {
        TUpdateBracket update(editor);
        const bool modified = editor.Modified();
        if (!otherOn) {
            window->DosMode = dos && on ? 1 : 0;
            window->Koi8Mode = !dos && on ? 1 : 0;
        }
        EnableButton(otherButton, !on && !otherOn);
        Enable(otherItem, !on && !otherOn);
        SetDown(button, on);
        SetChecked(item, on);
        if (on && !wasOn)
            ConvertWin(editor, page, PG_WIN);
        else if (!on && wasOn)
            ConvertWin(editor, PG_WIN, page);
        editor.SetModified(modified);
        SharedFlags().ActiveDosMode = window->DosMode != 0;
        SharedFlags().ActiveKoi8Mode = window->Koi8Mode != 0;
    }
    // The new text starts at the top of the view; the caret is shown again.
    ShowCaret(editor);
}

void TMainFormLorvane::SpeedButton15Click() {
    SwitchDisplayMode(true);
}

void TMainFormLorvane::OEM1Click() {
    SetDown("SpeedButton15", !Item("OEM1")->isChecked());
    SpeedButton15Click();
}

void TMainFormLorvane::SpeedButton16Click() {
    SwitchDisplayMode(false);
}

void TMainFormLorvane::Ansi1Click() {
    SetDown("SpeedButton16", !Item("Ansi1")->isChecked());
    SpeedButton16Click();
}

// ---- Font and colours ----

void TMainFormLorvane::Fonts1Click() {
    TDocumentEditor* editor = ActiveEditor();
    if (editor == nullptr) return;
    const LogicalFont current = editor->Font();
    fontDialog1_.color = editor->FontColor();
    fontDialog1_.name = current.name;
    fontDialog1_.size = current.size;
    const std::optional<FontChoice> chosen = Dialogs::Current().ChooseFont(fontDialog1_);
    if (!chosen) return;
    if (!ActiveChild()->FollowFontPage(chosen->name)) return;
    fontDialog1_ = *chosen;
    LogicalFont font = current;
    font.name = chosen->name;
    font.height = 0; // the size in points decides
    font.size = chosen->size;
    font.style = chosen->style;
    editor->SetFont(font);
    editor->SetFontColor(chosen->color);
    settings_.WriteFont(chosen->name, chosen->size, chosen->color);
}

void TMainFormLorvane::N18Click() {
    TDocumentEditor* editor = ActiveEditor();
    if (editor == nullptr) return;
    const std::optional<TColor> chosen =
        Dialogs::Current().ChooseColor(settings_.BackgroundColor());
    if (!chosen) return;
    editor->SetColor(*chosen);
    settings_.WriteBackgroundColor(editor->Color(), editor->FontColor());
}

// ---- Find and replace ----

void TMainFormLorvane::Search1Click() {
    findMode_ = true;
    Dialogs::Current().ShowFind(findDialog1_, [this](const FindEvent& event) {
        findDialog1_ = event.options;
        FindInText(event.options);
    });
}

void TMainFormLorvane::Replace2Click() {
    findMode_ = false;
    Dialogs::Current().ShowReplace(replaceDialog1_.options, [this](const FindEvent& event) {
        replaceDialog1_ = event;
        if (event.action == FindAction::Find)
            FindInText(event.options);
        else
            ReplaceInText(event);
    });
}

void TMainFormLorvane::SearchAgain2Click() {
    if (findMode_)
        FindInText(findDialog1_);
    else
        ReplaceInText(replaceDialog1_);
    Enable("SearchAgain2", true);
}

void TMainFormLorvane::NotFound(const std::string& findText) {
    Dialogs::Current().MessageBox("Не найдено : \"" + findText + "\".", "Информация", mbOK,
                                  MsgIcon::Information);
}

void TMainFormLorvane::FindInText(const FindOptions& options) {
    TDocumentEditor* editor = ActiveEditor();
    if (editor == nullptr) return;
    {
        WaitCursor wait;
        bool found = false;
        {
            // Shown only when the match lies far into a text whose
            // highlighting has not reached it yet.
            TCommandProgress progress(statusBar1_, QString::fromUtf8("Поиск"));
            found = editor->FindText(ToEditorBytes(*editor, options.findText), options.down,
                                     options.matchCase, options.wholeWord);
        }
        if (found) {
            if (!options.findText.empty()) Enable("SearchAgain2", true);
        } else {
            NotFound(options.findText);
        }
    }
    editor->Widget()->setFocus();
    Dialogs::Current().CloseFind();
}

void TMainFormLorvane::ReplaceInText(const FindEvent& event) {
    TDocumentEditor* editor = ActiveEditor();
    if (editor == nullptr) return;
    if (editor->ReadOnly()) {
        // Nothing is replaced in a text open for viewing; it is searched.
        FindInText(event.options);
        return;
    }
    const FindOptions& options = event.options;
    const std::string findText = ToEditorBytes(*editor, options.findText);
    const std::string replaceText = ToEditorBytes(*editor, options.replaceText);
    // The search goes on beyond the text just put in, in the search's
    // direction, so a replacement that holds the find text is not found
    // again and replacing all ends.
    const auto replaceSelection = [&] {
        const std::int32_t from =
            std::min(editor->SelStart(), editor->SelStart() + editor->SelLength());
        editor->SetSelText(replaceText);
        editor->SetSelStart(options.down ? from + static_cast<std::int32_t>(replaceText.size())
                                         : from);
    };
    const auto findNext = [&] {
        return editor->FindText(findText, options.down, options.matchCase, options.wholeWord);
    };
    if (!findText.empty() && EqualIgnoringCase(*editor, editor->SelText(), findText))
        replaceSelection();
    bool found = false;
    if (event.action == FindAction::ReplaceAll) {
        // Scrolling to every match would walk the display lines each time;
        // the view follows once, at the end. Bringing a far caret into view
        // lays out the text up to it: its progress shows too.
        TCommandProgress progress(statusBar1_, QString::fromUtf8("Замена"));
        {
            TUpdateBracket update(*editor);
            const std::int64_t length = std::max(editor->TextLength(), 1);
            found = findNext();
            while (found) {
                replaceSelection();
                const std::int64_t at = editor->SelStart();
                TCommandProgress::Report(static_cast<int>(
                    (options.down ? at : length - std::min<std::int64_t>(at, length)) * 100 /
                    length));
                found = findNext();
            }
        }
        ShowCaret(*editor);
    } else {
        found = findNext();
    }
    if (!found && event.action == FindAction::Replace) NotFound(options.findText);
    if (!options.findText.empty()) Enable("SearchAgain2", true);
    Dialogs::Current().CloseFind();
}

// ---- Calculator ----

void TMainFormLorvane::SetCalculator(THexCalc* calculator) noexcept {
    hexCalc_ = calculator;
}

void TMainFormLorvane::N26Click() {
    if (!hexCalc_) hexCalc_ = new THexCalc(this); // the frame's child from now on
    THexCalc& calc = *hexCalc_;
    calc.SetDisplayText(calc.NumToStr(calculatorValue_));
    calc.exec();
    // A display the calculator cannot read raises here, and the value
    // stays as it was.
    calculatorValue_ = calc.StrToNum(calc.DisplayText());
}

// ---- Printing ----

QPrinter& TMainFormLorvane::Printer() {
    if (!printer_) printer_ = std::make_shared<QPrinter>();
    return *printer_;
}

void TMainFormLorvane::N7Click() {
    TDocumentEditor* editor = ActiveEditor();
    if (editor == nullptr) return;
    QPrinter& printer = Printer();
    if (!Dialogs::Current().Print(printer, PrintRequest{})) return;
    LogicalFont font = editor->Font();
    if (printerFontChosen_) {
        font.name = fontDialog1_.name;
        font.height = 0;
        font.size = fontDialog1_.size;
        font.style = fontDialog1_.style;
    }
    font.fixedPitch = Item("N9")->isChecked();
    TCommandProgress progress(statusBar1_, QString::fromUtf8("Печать"));
    std::vector<std::string> lines;
    // An empty text has no line to print.
    if (editor->TextLength() > 0) lines = editor->DisplayLines();
    TCommandProgress::Report(0);
    if (linePrinter_)
        linePrinter_(printer, font, lines);
    else
        PaintLines(printer, font, lines);
}

void TMainFormLorvane::N3Click() {
    Dialogs::Current().PrinterSetup(Printer());
}

void TMainFormLorvane::N8Click() {
    const std::optional<FontChoice> chosen = Dialogs::Current().ChooseFont(fontDialog1_);
    printerFontChosen_ = chosen.has_value();
    if (chosen) fontDialog1_ = *chosen;
}

} // namespace lorvane
