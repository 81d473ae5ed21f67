// Document colouring through the frame on the real editor control: the
// language follows the window's name, the switch turns it off for every
// window and is remembered, the scheme follows the background and the
// settings file, a Russian comment keeps its colour in every display mode,
// and vocabularies in the user's directory add to the shipped ones.
#include "FrameFixture.h"
#include "app/HighlightSettings.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace lorvane {
namespace {

using test::Control;
using test::WriteFileBytes;

// The colour of every character of paragraph `index` (0 where none is set).
std::vector<std::uint32_t> Colours(TMDIChild* window, std::int32_t index) {
    RIzuvAzaz& control = Control(window);
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

std::uint32_t ColourAt(TMDIChild* window, std::int32_t index, std::size_t offset) {
    return Colours(window, index).at(offset);
}

constexpr auto kDark = [](TTokenRole role) {
    return static_cast<std::uint32_t>(DarkBackgroundScheme()[role]);
};

class HighlightFrame : public test::FrameFixture {};

TEST_F(HighlightFrame, LanguageByNameAndASwitchThatIsRemembered) {
    QAction* item = frame->Item("HighlightItem");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(item->shortcut().isEmpty());
    EXPECT_EQ(frame->Menu("Edit1")->actions().back(), item);

    TMDIChild* asm_ = Open("prog.asm", "mov ax, 1 ; mov");
    EXPECT_EQ(ColourAt(asm_, 0, 0), kDark(TTokenRole::Keyword));
    EXPECT_EQ(ColourAt(asm_, 0, 4), kDark(TTokenRole::Register));
    EXPECT_EQ(ColourAt(asm_, 0, 12), kDark(TTokenRole::Comment));
    TMDIChild* text = Open("notes.txt", "mov ax, 1 ; mov");
    EXPECT_EQ(Colours(text, 0), std::vector<std::uint32_t>(15, 0));

    // A new text takes its language when first saved under a name.
    frame->FileNewItemClick();
    TMDIChild* fresh = frame->ActiveChild();
    fresh->Memo1().SetText("int x; // c");
    EXPECT_EQ(ColourAt(fresh, 0, 0), 0u);
    dialogs.AnswerSave(dir.File("fresh.c"));
    ASSERT_TRUE(frame->FileSaveAsItemClick());
    EXPECT_EQ(ColourAt(fresh, 0, 0), kDark(TTokenRole::Type));
    EXPECT_EQ(ColourAt(fresh, 0, 7), kDark(TTokenRole::Comment));

    // Off for every window, and for the next frame too.
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    for (TMDIChild* window : {asm_, text, fresh})
        EXPECT_EQ(ColourAt(window, 0, 0), 0u);
    EXPECT_FALSE(ProfileFile(frame->AppSettings().SettingsFileName())
                     .ReadBool(kHighlightSection, kHighlightOnKey, true));
    for (TMDIChild* child : frame->Children())
        child->close();
    MakeFrame();
    EXPECT_FALSE(frame->Item("HighlightItem")->isChecked());
    EXPECT_EQ(ColourAt(Open("again.asm", "mov ax, 1"), 0, 0), 0u);
    frame->Item("HighlightItem")->trigger();
    EXPECT_EQ(ColourAt(frame->ActiveChild(), 0, 0), kDark(TTokenRole::Keyword));
}

TEST_F(HighlightFrame, SchemeFollowsTheBackgroundAndTheSettingsFile) {
    ProfileFile(frame->AppSettings().SettingsFileName())
        .WriteString(kHighlightSection, HighlightColourKey(TTokenRole::Comment), "0x0000FF");
    TMDIChild* window = Open("p.pas", "begin { note } end");
    EXPECT_EQ(ColourAt(window, 0, 0), kDark(TTokenRole::Keyword));
    EXPECT_EQ(ColourAt(window, 0, 6), 0xFFu) << "the user's comment colour";
    // A light background takes the scheme made for it; the user's colour stays.
    dialogs.AnswerColor(clWhite);
    frame->N18Click();
    EXPECT_EQ(ColourAt(window, 0, 0),
              static_cast<std::uint32_t>(LightBackgroundScheme()[TTokenRole::Keyword]));
    EXPECT_EQ(ColourAt(window, 0, 6), 0xFFu);
}

TEST_F(HighlightFrame, ARussianCommentKeepsOneColourInEveryDisplayModeAndTheTerminalFont) {
    // "; Привет, мир" and "mov ax, bx ; Выход" in Windows-1251.
    TMDIChild* window = Open("ru.asm", "; \xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0\r\n"
                                       "mov ax, bx ; \xC2\xFB\xF5\xEE\xE4");
    const auto comment = kDark(TTokenRole::Comment);
    const std::vector<std::uint32_t> first = Colours(window, 0);
    const std::vector<std::uint32_t> second = Colours(window, 1);
    ASSERT_EQ(first, std::vector<std::uint32_t>(first.size(), comment));
    ASSERT_EQ(second.back(), comment);
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
    LogicalFont terminal = window->Memo1().Font();
    terminal.name = "Terminal";
    window->Memo1().SetFont(terminal);
    // Highlighted anew with the font's own upper-casing.
    Control(window).ResetHighlighting();
    same("Terminal");
}

TEST_F(HighlightFrame, UserVocabulariesAddToTheShippedOnesAndMistakesAreNamedOnce) {
    const std::filesystem::path own = std::filesystem::path(test::ConfigHome()) / "highlight";
    std::filesystem::create_directories(own);
    WriteFileBytes(
        (own / "mine.lang").string(),
        "[language]\nextensions=.ASM .MY\ncase=ignore\n[keywords directive]\nfrobnicate\n");
    WriteFileBytes((own / "bad.lang").string(),
                   "[language]\nextensions=.BAD\n[ranges]\nfoo start=x\n");
    MakeFrame();
    EXPECT_EQ(ColourAt(Open("a.my", "FROBNICATE"), 0, 0), kDark(TTokenRole::Directive));
    // The later file claims .ASM: its vocabulary alone colours it.
    TMDIChild* window = Open("b.asm", "frobnicate mov");
    EXPECT_EQ(ColourAt(window, 0, 0), kDark(TTokenRole::Directive));
    EXPECT_EQ(ColourAt(window, 0, 11), 0u);
    Open("c.c", "int");
    std::filesystem::remove_all(own);
    const auto reported = TakeErrors();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("bad.lang, строка 4"), std::string::npos) << reported[0];
    EXPECT_NE(reported[0].find("foo"), std::string::npos) << reported[0];
}

} // namespace
} // namespace lorvane
