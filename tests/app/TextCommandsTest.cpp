// The frame's text commands and the colouring of documents, on the
// program's own editor control.
#include "FrameFixture.h"
#include "app/CommandProgress.h"
#include "app/HighlightSettings.h"
#include "app/TabConvert.h"
#include "calc/HexCalc.h"
#include "editor/model/TextViews.h"
#include "platform/CodePageTables.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QPrinter>
#include <QShortcut>
#include <QTimer>

#include <random>
#include <set>

namespace lorvane {
namespace {

using test::Control;
using test::WriteFileBytes;

std::string Win(const char* utf8) {
    return cp::EncodeFromUtf8(cp::CodePage::Win1251, utf8);
}
std::string Dos(const char* utf8) {
    return cp::EncodeFromUtf8(cp::CodePage::Cp866, utf8);
}
const LogicalFont kTerminal{"Terminal", 0, 10, 0, true};

class TextCommands : public test::FrameFixture {};

// The switch of code pages is the oracle of the control's exchange of bytes.
TEST_F(TextCommands, CodePageSwitchIsExactAndExchangingInPlaceIsLoadingTheSwitchedText) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    for (int from = 0; from < kConvTypeCount; ++from)
        for (int to = 0; to < kConvTypeCount; ++to) {
            const auto f = static_cast<TConvType>(from), t = static_cast<TConvType>(to);
            SCOPED_TRACE(std::to_string(from) + "->" + std::to_string(to));
            std::string text = all, letters(CodePageLetters[f]);
            SwitchCodePage(f, t, text);
            SwitchCodePage(f, t, letters);
            EXPECT_EQ(std::set<char>(text.begin(), text.end()).size(), 256u); // no two alike
            EXPECT_EQ(text.substr(0, 128), all.substr(0, 128));               // ASCII stays
            EXPECT_EQ(letters, CodePageLetters[t]);
            SwitchCodePage(t, f, text);
            EXPECT_EQ(text, all);
        }
    // Edits first, so that paragraphs lie both where the text was read and
    // in buffers of their own; earlier undo records would hold old bytes.
    std::mt19937 random(18);
    const std::string pieces[] = {"\r\n", "\n",       "\t",           " ",
                                  "ab",   "\xB8\xA8", "\xC0\xFF\x80", "\x01"};
    for (int round = 0; round < 12; ++round) {
        std::string text;
        for (int i = 0; i < 400; ++i)
            text += pieces[random() % std::size(pieces)];
        RIzuvAzaz& control = NewDocument(text);
        for (int i = 0; i < 5; ++i) {
            control.SetSelStart(static_cast<std::int32_t>(random() % control.TextLength()));
            control.SetSelText("\xC6\r\nz");
        }
        const std::string before = control.Text();
        const auto from = static_cast<TConvType>(random() % kConvTypeCount);
        const auto to = static_cast<TConvType>(random() % kConvTypeCount);
        std::string expected = before;
        SwitchCodePage(from, to, expected);
        ASSERT_TRUE(control.ExchangeBytes(CodePageExchange(from, to)));
        EXPECT_EQ(control.Text(), expected) << round;
        EXPECT_FALSE(control.CanUndo()) << round;
        EXPECT_EQ(control.Model().LineCount(), NewDocument(expected).Model().LineCount()) << round;
        ASSERT_TRUE(control.ExchangeBytes(CodePageExchange(to, from)));
        EXPECT_EQ(control.Text(), before) << round;
    }
    // A table that would move a break, blank or code is refused untouched.
    RIzuvAzaz& control = NewDocument("a\tb\r\n");
    std::array<unsigned char, 256> table = CodePageExchange(PG_WIN, PG_WIN);
    table['\t'] = ' ';
    EXPECT_FALSE(control.ExchangeBytes(table));
    EXPECT_EQ(control.Text(), "a\tb\r\n");
}

TEST_F(TextCommands, DisplayModesGiveBackEveryByteAndButtonsLeftFromAnotherWindowDoNoHarm) {
    // A Windows-1251 text switched by mistake: capitals, ё and bytes that
    // are box drawing in code page 866 must all come back.
    std::string all = "\r\n";
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
    const struct {
        cp::CodePage page;
        const char *item, *button, *otherItem, *otherButton;
        bool TSharedDocumentFlags::*flag;
        std::uint8_t TMDIChild::*mode;
    } modes[] = {
        {cp::CodePage::Cp866, "OEM1", "SpeedButton15", "Ansi1", "SpeedButton16",
         &TSharedDocumentFlags::ActiveDosMode, &TMDIChild::DosMode},
        {cp::CodePage::Koi8R, "Ansi1", "SpeedButton16", "OEM1", "SpeedButton15",
         &TSharedDocumentFlags::ActiveKoi8Mode, &TMDIChild::Koi8Mode},
    };
    const std::string shown = Win("Текст\r\nвторая Ёё");
    for (const auto& m : modes)
        for (const bool modified : {false, true}) {
            SCOPED_TRACE(m.item);
            const std::string text = cp::EncodeFromUtf8(m.page, "Текст\r\nвторая Ёё") + all;
            RIzuvAzaz& control = NewDocument(text);
            control.SetModified(modified);
            control.SetSelStart(25);
            frame->Item(m.item)->trigger();
            frame->UpdateMenuItems(); // the idle pass must keep what the command set
            EXPECT_EQ(frame->ActiveChild()->*m.mode, 1);
            EXPECT_TRUE(SharedFlags().*m.flag);
            EXPECT_TRUE(frame->Button(m.button)->isChecked());
            EXPECT_FALSE(OnButton(m.otherButton));
            EXPECT_FALSE(On(m.otherItem));
            EXPECT_EQ(control.Text().substr(0, shown.size()), shown);
            EXPECT_EQ(control.SelStart(), 25);
            frame->Button(m.button)->click();
            frame->UpdateMenuItems();
            EXPECT_EQ(frame->ActiveChild()->*m.mode, 0);
            EXPECT_FALSE(SharedFlags().*m.flag);
            EXPECT_FALSE(frame->Item(m.item)->isChecked());
            EXPECT_TRUE(On(m.otherItem));
            EXPECT_EQ(control.Text(), text);
            EXPECT_EQ(control.SelStart(), 25);
            EXPECT_EQ(control.Modified(), modified);
        }

    const std::string second = Win("второе окно, ЁЖ");
    NewDocument(Dos("первое окно"));
    QAbstractButton* dos = frame->Button("SpeedButton15");
    QAbstractButton* koi8 = frame->Button("SpeedButton16");
    dos->click();
    TMDIChild* dosWindow = frame->ActiveChild();
    // A new window before the idle pass has set the buttons for it: the
    // DOS button still shows the first window's mode.
    RIzuvAzaz& control = NewDocument(second);
    TMDIChild* window = frame->ActiveChild();
    ASSERT_NE(window, dosWindow);
    dos->setChecked(true);
    dos->click(); // "off" for a window that is not on
    EXPECT_EQ(control.Text(), second);
    EXPECT_EQ(window->DosMode, 0);
    EXPECT_FALSE(dos->isChecked());
    koi8->click(); // KOI8 on
    EXPECT_EQ(window->Koi8Mode, 1);
    const std::string inKoi8 = control.Text();
    dos->setEnabled(true);
    dos->click(); // DOS over KOI8: refused
    EXPECT_EQ(control.Text(), inKoi8);
    EXPECT_EQ(window->DosMode, 0);
    EXPECT_EQ(window->Koi8Mode, 1);
    EXPECT_FALSE(dos->isChecked());
    koi8->click();
    EXPECT_EQ(control.Text(), second);
}

// The conversions, then the commands on a text wrapped off the stops: from
// the line start, one undo step each, the caret kept in its place.
TEST_F(TextCommands, TabsFillToTheNextStopSpaceRunsTakeOneTabPerStartedTenAndTheCommandsAgree) {
    const std::string ten(10, ' ');
    const std::pair<std::string, std::string> toSpaces[] = {
        {"\tx", ten + "x"},
        {"abc\tx", "abc" + std::string(7, ' ') + "x"},
        {"123456789\tx", "123456789 x"},
        {"1234567890\t", "1234567890" + ten},
        {"", ""},
        {Win("мир"), Win("мир")}};
    for (const auto& [in, out] : toSpaces)
        EXPECT_EQ(TabsToSpaces(in), out) << in;
    const std::pair<std::string, std::string> toTabs[] = {
        {"a   b", "a\tb"},        {ten, "\t"},
        {ten + " ", "\t\t"},      {ten + ten + " ", "\t\t\t"},
        {"a b  c ", "a\tb\tc\t"}, {"\t x", "\t\tx"},
        {"x\ty", "x\ty"}};
    for (const auto& [in, out] : toTabs)
        EXPECT_EQ(SpacesToTabs(in), out) << in;

    std::string line = "x\t";
    for (int i = 0; i < 40; ++i)
        line += std::string(static_cast<std::size_t>(1 + i % 7), 'a') +
                (i % 3 ? "\t" : "             ");
    const std::string text = "top\r\n" + line + "\r\nthree\r\n" + line;
    RIzuvAzaz& control = NewDocument(text);
    QApplication::processEvents();
    ASSERT_GT(control.Lines().Count(), 6); // really wrapped
    control.SetSelStart(static_cast<std::int32_t>(text.find("three") + 2));
    frame->Item("N01")->trigger();
    const std::string spaced = TabsToSpaces(line), tabbed = SpacesToTabs(spaced);
    EXPECT_EQ(control.Text(), "top\r\n" + spaced + "\r\nthree\r\n" + spaced);
    EXPECT_EQ(control.SelStart(), static_cast<std::int32_t>(control.Text().find("three") + 2));
    frame->Item("N91")->trigger();
    EXPECT_EQ(control.Text(), "top\r\n" + tabbed + "\r\nthree\r\n" + tabbed);
    frame->N12Click();
    frame->N12Click();
    EXPECT_EQ(control.Text(), text);
    // Nothing to convert: no edit, nothing to undo.
    RIzuvAzaz& plain = NewDocument("no tabs here\r\nnor here");
    plain.SetSelStart(3);
    frame->N01Click();
    EXPECT_FALSE(plain.Modified());
    EXPECT_FALSE(plain.CanUndo());
    EXPECT_EQ(plain.SelStart(), 3);
}

TEST_F(TextCommands, GoToLineShowsItsLineInAWrappedTextNotYetLaidOut) {
    // Paragraphs of up to eight wrapped lines, gone to before background
    // layout has reached them: at once after the open (the scroll bar still
    // to come narrows the text) and after the text is set anew.
    std::string text;
    for (int i = 0; i < 4000; ++i) {
        text += "line " + std::to_string(i + 1);
        for (int k = 0; k < (i % 7) * 25; ++k)
            text += " word";
        text += "\r\n";
    }
    RIzuvAzaz& control = Control(Open("long.txt", text));
    for (const int line : {3000, 3900}) {
        if (line == 3900) control.SetText(text); // laid out anew, the scroll bar stays
        dialogs.AnswerInput(std::to_string(line));
        frame->GoToLineClick();
        while (control.Model().BackgroundJobPending())
            QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_EQ(control.CaretParagraph(), line - 1);
        EXPECT_GE(control.CaretPos().y(), 0) << line;
        EXPECT_LE(control.CaretPos().y() + control.CurrentLineHeight(),
                  control.viewport()->height())
            << line << ": caret line " << control.CaretLine() << ", top line " << control.TopLine();
    }
}

TEST_F(TextCommands, DeleteLineAndStylesActAtTheCaretAndNothingActsWithoutAWindow) {
    for (auto command : {&TMainFormLorvane::N27Click, &TMainFormLorvane::N23Click,
                         &TMainFormLorvane::N9Click, &TMainFormLorvane::N01Click,
                         &TMainFormLorvane::SpeedButton15Click, &TMainFormLorvane::Fonts1Click,
                         &TMainFormLorvane::SearchAgain2Click, &TMainFormLorvane::N7Click})
        EXPECT_NO_THROW((frame.get()->*command)());
    EXPECT_TRUE(dialogs.Requests().empty());

    RIzuvAzaz& control = NewDocument("one\r\ntwo\r\nthree");
    control.GoToDisplayLine(1);
    frame->Item("N27")->trigger();
    EXPECT_EQ(control.Text(), "one\r\nthree");
    // The item is hidden, and hidden items take no keys: the frame's own
    // shortcut does the work.
    control.GoToDisplayLine(0);
    emit frame->findChild<QShortcut*>("N27Shortcut")->activated();
    EXPECT_EQ(control.Text(), "three");
    control.SetSelStart(1);
    for (const char* style : {"N23", "N24", "N23", "N22"}) // the second bold ends bold here
        frame->Item(style)->trigger();
    EXPECT_EQ(control.CaretStyle() & (fsBold | fsItalic | fsUnderline),
              unsigned{fsItalic | fsUnderline});
}

TEST_F(TextCommands, FindAndReplaceSelectTheMatchReplaceAllIgnoresCyrillicCaseAndEnds) {
    RIzuvAzaz& control = NewDocument(Win("мир и Мир и мир"));
    EXPECT_FALSE(On("SearchAgain2"));
    frame->Search1Click();
    dialogs.PressFind({"мир", "", true});
    EXPECT_EQ(control.SelText(), Win("мир"));
    EXPECT_TRUE(On("SearchAgain2"));
    EXPECT_FALSE(dialogs.FindOpen());
    frame->Item("SearchAgain2")->trigger(); // the case-sensitive search skips "Мир"
    EXPECT_EQ(std::min(control.SelStart(), control.SelStart() + control.SelLength()), 12);

    // After the replace dialog, Find Again replaces the selection first.
    control.SetText("one two one");
    control.SetSelStart(0);
    const FindOptions options{"ONE", "1"};
    frame->Replace2Click();
    dialogs.PressFind(options);
    EXPECT_EQ(control.SelText(), "one");
    frame->Replace2Click();
    dialogs.PressReplace(options); // replaces it and selects the next
    EXPECT_EQ(control.Text(), "1 two one");
    EXPECT_EQ(control.SelText(), "one");
    dialogs.AnswerMessage(MsgResult::OK);
    frame->SearchAgain2Click(); // replaces the selection, then finds nothing
    EXPECT_EQ(control.Text(), "1 two 1");
    EXPECT_EQ(Questions(), std::vector<std::string>{"Не найдено : \"ONE\"."});

    const struct {
        std::string text;
        bool terminal; // the DOS font: the text and the words are code page 866
        const char *find, *replace;
        bool matchCase, down;
        std::string expected;
    } cases[] = {
        {Win("Привет, ПРИВЕТ, привет, Ёлка"), false, "привет", "мир", false, true,
         Win("мир, мир, мир, Ёлка")},
        {Win("Ёлка и ёлка"), false, "ЁЛКА", "ель", false, true, Win("ель и ель")},
        // Nothing to look for: nothing changes, and it ends.
        {Win("Ёлка"), false, "", "ель", false, true, Win("Ёлка")},
        {Dos("мир и дом"), true, "дом", "сад", true, true, Dos("мир и сад")},
        // Ignoring case under the DOS font folds by code page 866: box
        // drawing whose byte is a capital in Windows-1251 is no letter here.
        {Dos("└Р┘ра"), true, "р", "х", false, true, Dos("└х┘ха")},
        // The replacement holds the find text: it still ends, either way.
        {"a-a-A", false, "a", "aa", false, true, "aa-aa-aa"},
        {"a-a-a", false, "a", "ba", false, false, "ba-ba-ba"},
    };
    for (const auto& c : cases) {
        RIzuvAzaz& editor = NewDocument(c.text);
        if (c.terminal) Editor().SetFont(kTerminal);
        if (!c.down) editor.SetSelStart(editor.TextLength());
        frame->Replace2Click();
        dialogs.PressReplaceAll({c.find, c.replace, c.matchCase, false, c.down});
        EXPECT_EQ(editor.Text(), c.expected) << c.find << " -> " << c.replace;
    }
    EXPECT_EQ(Questions().size(), 1u); // running out is silent
}

TEST_F(TextCommands, FontAndBackgroundGoToTheEditorAndTheSettingsFileAndNewDocuments) {
    RIzuvAzaz& control = NewDocument("x");
    dialogs.AnswerFont(std::nullopt);
    frame->Fonts1Click();
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::Font)[0].font.name, "System");
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::Font)[0].font.color, control.FontColor());
    EXPECT_FALSE(std::filesystem::exists(Settings().SettingsFilePath()));
    dialogs.AnswerFont(FontChoice{"Courier New", 14, fsBold, clRed});
    frame->Item("Fonts1")->trigger();
    dialogs.AnswerColor(clNavy);
    frame->Item("N18")->trigger();
    // The editor takes the look at once, a new document from the settings
    // file as it is then, hand edits included.
    const auto look = [](const RIzuvAzaz& editor) {
        return std::tuple{editor.Font().name, editor.FontColor(), editor.Color()};
    };
    const auto chosen = std::tuple{std::string("Courier New"), clRed, clNavy};
    EXPECT_EQ(look(control), chosen);
    EXPECT_EQ(look(NewDocument("")), chosen);
    WriteSetting("COLORS", "Цвет фона", "0xFF0000");
    WriteSetting("FONT", "Имя шрифта", "Terminal");
    NewDocument("");
    EXPECT_EQ(Editor().Color(), clBlue);
    EXPECT_EQ(Editor().Font().name, "Terminal");
    EXPECT_EQ(Editor().Font().size, 14);
    EXPECT_EQ(Editor().Font().height, 0);
}

// Every command on the whole text shows its progress (here from the first
// moment), lets the window run its events and leaves no message behind.
TEST_F(TextCommands, WholeTextCommandsShowProgressAndLetTheWindowRun) {
    TCommandProgress::SetDelays(std::chrono::milliseconds(0), std::chrono::milliseconds(0));
    const std::string path = dir.File("PROG.ASM");
    WriteFileBytes(path, Win("\tmov\tax, tmp ; счётчик строк\r\n        push tmp\r\n"));
    std::size_t printed = 0;
    frame->SetLinePrinter([&](QPrinter&, const LogicalFont&, const std::vector<std::string>& all) {
        printed = all.size();
    });
    dialogs.AnswerPrint(true);
    const auto click = [this](const char* button) {
        return [this, button] { frame->Button(button)->click(); };
    };
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"open", [&] { frame->FileOpenAll(path); }},
        {"save",
         [&] {
             Editor().SetModified(true);
             frame->FileSaveItemClick();
         }},
        {"dos on", click("SpeedButton15")},
        {"dos off", click("SpeedButton15")},
        {"koi8 on", click("SpeedButton16")},
        {"koi8 off", click("SpeedButton16")},
        {"tabs to spaces", [&] { frame->N01Click(); }},
        {"spaces to tabs", [&] { frame->N91Click(); }},
        {"replace all",
         [&] {
             Editor().SetSelStart(0);
             frame->Replace2Click();
             dialogs.PressReplaceAll({"tmp", "bx"});
         }},
        {"print", [&] { frame->N7Click(); }},
    };
    QStatusBar* bar = frame->StatusBar1();
    for (const auto& [name, command] : commands) {
        QStringList shown;
        const auto watch = QObject::connect(bar, &QStatusBar::messageChanged,
                                            [&](const QString& text) { shown << text; });
        bool ran = false;
        QTimer::singleShot(0, frame.get(), [&] { ran = true; });
        command();
        QObject::disconnect(watch);
        EXPECT_TRUE(ran) << name;
        EXPECT_TRUE(!shown.empty() && shown.front().endsWith(QStringLiteral(" %"))) << name;
        EXPECT_TRUE(bar->currentMessage().isEmpty()) << name;
        QApplication::processEvents();
    }
    TCommandProgress::SetDelays(std::chrono::milliseconds(500), std::chrono::milliseconds(100));
    // Every blank run is one tab after the round trip through spaces.
    EXPECT_EQ(Editor().Text(), Win("\tmov\tax,\tbx\t;\tсчётчик\tстрок\r\n\tpush\tbx\r\n"));
    EXPECT_EQ(printed, 2u);
}

TEST_F(TextCommands, CalculatorKeepsItsValueBetweenUses) {
    THexCalc calc(frame.get());
    frame->SetCalculator(&calc);
    std::int32_t shown = 12345;
    // The user reads the display, types a new value and closes the dialog.
    const auto answer = [&](std::int32_t value) {
        QTimer::singleShot(0, &calc, [&calc, &shown, value] {
            shown = calc.StrToNum(calc.DisplayText());
            calc.SetDisplayText(calc.NumToStr(value));
            calc.accept();
        });
    };
    answer(255);
    frame->Item("N26")->trigger();
    EXPECT_EQ(shown, 0);
    answer(-7);
    frame->N26Click();
    EXPECT_EQ(shown, 255);
    EXPECT_EQ(frame->CalculatorValue(), -7);
}

TEST_F(TextCommands, PrintWritesEveryLineWithTheChosenFontAndNothingForAnEmptyText) {
    int jobs = 0;
    LogicalFont font;
    std::vector<std::string> printed;
    frame->SetLinePrinter(
        [&](QPrinter&, const LogicalFont& used, const std::vector<std::string>& lines) {
            ++jobs;
            font = used;
            printed = lines;
        });
    // Display lines, wrapped, also straight after a load before any layout.
    std::string text = Win("первая\r\n\r\n");
    for (int i = 0; i < 40; ++i)
        text += "word " + std::to_string(i) + " ";
    text += "\r\n\tlast";
    RIzuvAzaz& control = NewDocument(text);
    QApplication::processEvents();
    std::vector<std::string> expected;
    for (std::int32_t i = 0; i < control.Lines().Count(); ++i)
        expected.push_back(Editor().LineText(i));
    ASSERT_GT(expected.size(), 4u); // really wrapped
    EXPECT_EQ(expected.front(), Win("первая"));
    NewDocument(text);
    dialogs.AnswerPrint(false);
    frame->N7Click();
    EXPECT_EQ(jobs, 0);
    dialogs.AnswerPrint(true);
    frame->Item("N7")->trigger();
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(font.name, "System");
    EXPECT_TRUE(font.fixedPitch);

    const auto print = [&](const std::string& pdf = {}) {
        dialogs.AnswerPrint(true, pdf);
        frame->N7Click();
    };
    // A printer font, printed in variable pitch once N9 is off; cancelling
    // it goes back to the document's font.
    dialogs.AnswerFont(FontChoice{"Arial", 12, 0, clBlack});
    frame->N8Click();
    frame->N9Click();
    print();
    EXPECT_EQ(font.name, "Arial");
    EXPECT_EQ(font.size, 12);
    EXPECT_FALSE(font.fixedPitch);
    dialogs.AnswerFont(std::nullopt);
    frame->N8Click();
    print();
    EXPECT_EQ(font.name, "System");

    // The real printer: text makes pages, an empty document nothing.
    frame->SetLinePrinter({});
    print(dir.File("text.pdf"));
    ASSERT_TRUE(std::filesystem::exists(dir.File("text.pdf")));
    EXPECT_GT(std::filesystem::file_size(dir.File("text.pdf")), 100u);
    NewDocument("");
    EXPECT_NO_THROW(print(dir.File("empty.pdf")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("empty.pdf")));
}

// The colour of every character of paragraph `index` (0 where none is set).
std::vector<std::uint32_t> Colours(TMDIChild* window, std::int32_t index = 0) {
    RIzuvAzaz& control = test::Control(window);
    control.Model().LayoutRange(0, control.ParagraphCount() - 1, false);
    std::vector<std::uint32_t> out;
    const std::int32_t start = control.ParagraphStart(index);
    const std::int32_t end = index + 1 < control.ParagraphCount()
                                 ? control.ParagraphStart(index + 1) - 2
                                 : control.TextLength();
    for (std::int32_t at = start; at < end; ++at) {
        const HighlightAtPosition h = control.Highlighting().HighlightAt(at);
        out.push_back(h.highlighted ? h.firstColour : 0);
    }
    return out;
}

// The colours of the first paragraph at `offsets`.
std::vector<std::uint32_t> ColoursAt(TMDIChild* window,
                                     std::initializer_list<std::size_t> offsets) {
    const std::vector<std::uint32_t> all = Colours(window);
    std::vector<std::uint32_t> out;
    for (const std::size_t offset : offsets)
        out.push_back(all.at(offset));
    return out;
}

using Roles = std::vector<std::uint32_t>;
std::uint32_t Dark(TTokenRole role) {
    return static_cast<std::uint32_t>(DarkBackgroundScheme()[role]);
}

TEST_F(TextCommands, ColouringFollowsTheNamesLanguageTheSwitchTheBackgroundAndTheSettings) {
    using enum TTokenRole;
    QAction* item = frame->Item("HighlightItem");
    EXPECT_TRUE(item->isChecked());
    TMDIChild* asm_ = Open("prog.asm", "mov ax, 1 ; mov");
    EXPECT_EQ(ColoursAt(asm_, {0, 4, 12}), (Roles{Dark(Keyword), Dark(Register), Dark(Comment)}));
    TMDIChild* text = Open("notes.txt", "mov ax, 1 ; mov");
    EXPECT_EQ(Colours(text), Roles(15, 0));
    // A new text takes its language when first saved under a name.
    frame->FileNewItemClick();
    TMDIChild* fresh = frame->ActiveChild();
    fresh->Memo1().SetText("int x; // c");
    EXPECT_EQ(ColoursAt(fresh, {0}), Roles{0});
    dialogs.AnswerSave(dir.File("fresh.c"));
    ASSERT_TRUE(frame->FileSaveAsItemClick());
    EXPECT_EQ(ColoursAt(fresh, {0, 7}), (Roles{Dark(Type), Dark(Comment)}));

    // Off for every window, and for the next frame too.
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    for (TMDIChild* window : {asm_, text, fresh})
        EXPECT_EQ(ColoursAt(window, {0}), Roles{0});
    EXPECT_FALSE(ProfileFile(frame->AppSettings().SettingsFileName())
                     .ReadBool(kHighlightSection, kHighlightOnKey, true));
    for (TMDIChild* child : frame->Children())
        child->close();
    MakeFrame();
    EXPECT_FALSE(frame->Item("HighlightItem")->isChecked());
    EXPECT_EQ(ColoursAt(Open("again.asm", "mov ax, 1"), {0}), Roles{0});
    frame->Item("HighlightItem")->trigger();
    EXPECT_EQ(ColoursAt(frame->ActiveChild(), {0}), Roles{Dark(Keyword)});

    ProfileFile(frame->AppSettings().SettingsFileName())
        .WriteString(kHighlightSection, HighlightColourKey(TTokenRole::Comment), "0x0000FF");
    TMDIChild* window = Open("p.pas", "begin { note } end");
    EXPECT_EQ(ColoursAt(window, {0, 6}), (Roles{Dark(TTokenRole::Keyword), 0xFF}));
    // A light background takes the scheme made for it; the user's colour stays.
    dialogs.AnswerColor(clWhite);
    frame->N18Click();
    const auto light = static_cast<std::uint32_t>(LightBackgroundScheme()[TTokenRole::Keyword]);
    EXPECT_EQ(ColoursAt(window, {0, 6}), (Roles{light, 0xFF}));
}

TEST_F(TextCommands, ARussianCommentKeepsOneColourInEveryDisplayModeAndTheTerminalFont) {
    // "; Привет, мир" and "mov ax, bx ; Выход" in Windows-1251.
    TMDIChild* window = Open("ru.asm", "; \xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0\r\n"
                                       "mov ax, bx ; \xC2\xFB\xF5\xEE\xE4");
    const std::vector<std::uint32_t> first = Colours(window, 0), second = Colours(window, 1);
    ASSERT_EQ(first, Roles(first.size(), Dark(TTokenRole::Comment)));
    ASSERT_EQ(second.back(), Dark(TTokenRole::Comment));
    const auto same = [&](const char* mode) {
        EXPECT_EQ(Colours(window, 0), first) << mode;
        EXPECT_EQ(Colours(window, 1), second) << mode;
    };
    frame->Button("SpeedButton15")->click();
    ASSERT_EQ(window->DosMode, 1);
    same("DOS");
    frame->Button("SpeedButton15")->click();
    frame->Button("SpeedButton16")->click();
    ASSERT_EQ(window->Koi8Mode, 1);
    same("KOI8");
    frame->Button("SpeedButton16")->click();
    window->Memo1().SetFont(kTerminal);
    // Highlighted anew with the font's own upper-casing.
    Control(window).ResetHighlighting();
    same("Terminal");
}

TEST_F(TextCommands, UserVocabulariesAddToTheShippedOnesAndMistakesAreNamedOnce) {
    const std::filesystem::path own = std::filesystem::path(test::ConfigHome()) / "highlight";
    std::filesystem::create_directories(own);
    WriteFileBytes(
        (own / "mine.lang").string(),
        "[language]\nextensions=.ASM .MY\ncase=ignore\n[keywords directive]\nfrobnicate\n");
    WriteFileBytes((own / "bad.lang").string(),
                   "[language]\nextensions=.BAD\n[ranges]\nfoo start=x\n");
    MakeFrame();
    EXPECT_EQ(ColoursAt(Open("a.my", "FROBNICATE"), {0}), Roles{Dark(TTokenRole::Directive)});
    // The later file claims .ASM: its vocabulary alone colours it.
    EXPECT_EQ(ColoursAt(Open("b.asm", "frobnicate mov"), {0, 11}),
              (Roles{Dark(TTokenRole::Directive), 0}));
    Open("c.c", "int");
    std::filesystem::remove_all(own);
    const auto reported = TakeErrors();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("bad.lang, строка 4"), std::string::npos) << reported[0];
    EXPECT_NE(reported[0].find("foo"), std::string::npos) << reported[0];
}

} // namespace
} // namespace lorvane
