// The calculator driven the way a user drives it: through its own buttons,
// its radio group and typed keys, offscreen.
#include "calc/HexCalc.h"
#include "platform/ErrorHandler.h"
#include "platform/ScriptedDialogs.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

class HexCalcTest : public ::testing::Test {
protected:
    void SetUp() override {
        TApplication::SetReporter([this](const std::string& text) { errors_.push_back(text); });
        calc_.show();
    }
    void TearDown() override {
        TApplication::SetReporter(nullptr);
        EXPECT_TRUE(dialogs_.Errors().empty());
    }

    QPushButton* Button(const char* name) {
        auto* button = calc_.findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    void Click(const char* name) { Button(name)->click(); }
    // Typed at the form; every character goes through the key table.
    void Type(std::string_view keys, QWidget* target = nullptr) {
        for (char c : keys)
            QTest::keyClick(target ? target : &calc_, c);
    }
    void ChooseBase(const char* item) {
        for (auto* radio :
             calc_.findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>())
            if (radio->text() == QLatin1String(item)) radio->click();
    }
    std::string CheckedBase() {
        for (auto* radio :
             calc_.findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>())
            if (radio->isChecked()) return radio->text().toStdString();
        return {};
    }
    std::string Display() { return calc_.findChild<QLineEdit*>("Edit1")->text().toStdString(); }
    std::string Sign() { return calc_.findChild<QLabel*>("Panel1")->text().toStdString(); }
    void Paste(const char* text) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        Click("Button25");
    }

    ScriptedDialogs dialogs_;
    std::vector<std::string> errors_;
    THexCalc calc_;
};

TEST_F(HexCalcTest, FormAndControls) {
    EXPECT_EQ(calc_.windowTitle().toStdString(), "Калькулятор Hex, Oct, Bin, Dec форматов");
    EXPECT_EQ(Display(), "0");
    EXPECT_EQ(CheckedBase(), "Hex");
    EXPECT_FALSE(calc_.findChild<QLineEdit*>("Edit1")->isEnabled());
    EXPECT_EQ(Button("Button21")->text().toStdString(), "Сброс");
    EXPECT_EQ(Button("Button26")->text().toStdString(), "+ / -");
    EXPECT_EQ(Button("Button16")->text().toStdString(), "F");
    EXPECT_EQ(Button("Button6")->text().toStdString(), "0");
}

TEST_F(HexCalcTest, DigitButtonsFollowTheBase) {
    const auto enabled = [this] {
        std::string digits;
        for (const char* name : {"Button1", "Button4", "Button7", "Button10", "Button2", "Button5",
                                 "Button8", "Button11", "Button3", "Button6", "Button9", "Button12",
                                 "Button13", "Button14", "Button15", "Button16"})
            if (Button(name)->isEnabled()) digits += Button(name)->text().toStdString();
        return digits;
    };
    EXPECT_EQ(enabled(), "1234567890ABCDEF");
    ChooseBase("Oct");
    EXPECT_EQ(enabled(), "12345670");
    EXPECT_EQ(calc_.State().MaxLength(), 11);
    ChooseBase("Bin");
    EXPECT_EQ(enabled(), "10");
    EXPECT_EQ(calc_.State().MaxLength(), 32);
    ChooseBase("Dec");
    EXPECT_EQ(enabled(), "1234567890");
    // Keys of disabled digits do nothing.
    Type("5a");
    EXPECT_EQ(Display(), "5");
    ChooseBase("Bin");
    Click("Button21");
    Type("1297021");
    EXPECT_EQ(Display(), "101");
}

TEST_F(HexCalcTest, HexOverflowWrapsAndReadsInDec) {
    Type("7fffffff+1=");
    EXPECT_EQ(Display(), "80000000");
    ChooseBase("Dec");
    EXPECT_EQ(Display(), "-2147483648");
}

TEST_F(HexCalcTest, OctalEntriesReadInDec) {
    ChooseBase("Oct");
    Type("17");
    ChooseBase("Dec");
    EXPECT_EQ(Display(), "15");
}

TEST_F(HexCalcTest, DigitsBeyondTheEntryAreIgnored) {
    Type("123456789");
    EXPECT_EQ(Display(), "123456789");
    Type("+1=");
    EXPECT_EQ(Display(), "12345679");
}

TEST_F(HexCalcTest, OperationsDoNotChain) {
    ChooseBase("Dec");
    Type("3++5=");
    EXPECT_EQ(Display(), "8");
    Click("Button21");
    Click("Button17");
    Click("Button20"); // ignored: "+" is pending
    Type("2=");
    EXPECT_EQ(Display(), "2");
}

TEST_F(HexCalcTest, DivisionTruncatesTowardZero) {
    ChooseBase("Dec");
    Type("7/2=");
    EXPECT_EQ(Display(), "3");
    Type("7");
    Click("Button26");
    Type("/2=");
    EXPECT_EQ(Display(), "-3");
    // The one quotient that does not fit wraps like every other overflow.
    Type("2147483647+1=");
    EXPECT_EQ(Display(), "-2147483648");
    Type("/1");
    Click("Button26");
    Type("=");
    EXPECT_EQ(Display(), "-2147483648");
    Click("Button26");
    EXPECT_EQ(Display(), "-2147483648");
}

TEST_F(HexCalcTest, ZeroResultPaddedOnlyAfterAnOperation) {
    Type("5-5=");
    EXPECT_EQ(Display(), "00000000");
    Click("Button26");
    EXPECT_EQ(Display(), "0");
    Type("3*0=");
    EXPECT_EQ(Display(), "00000000");
    ChooseBase("Bin");
    EXPECT_EQ(Display(), "0");
    Type("1-1=");
    EXPECT_EQ(Display(), std::string(32, '0'));
}

TEST_F(HexCalcTest, DivisionByZeroComplainsAndStaysPending) {
    dialogs_.AnswerMessage(MsgResult::OK);
    ChooseBase("Dec");
    Type("9/0=");
    const auto boxes = dialogs_.RequestsOf(DialogKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "На ноль делить нельзя !!!");
    EXPECT_EQ(boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(Sign(), "/");
    EXPECT_EQ(Display(), "0");
    Type("3=");
    EXPECT_EQ(Display(), "3");
    EXPECT_EQ(Sign(), "");
}

TEST_F(HexCalcTest, ResetKeepsBaseAndValue) {
    ChooseBase("Oct");
    Type("12+");
    Type("\\");
    EXPECT_EQ(Display(), "0");
    EXPECT_EQ(Sign(), "");
    EXPECT_EQ(calc_.State().Operand(), 0);
    EXPECT_EQ(calc_.State().CurrentValue(), 10);
    EXPECT_EQ(CheckedBase(), "Oct");
}

TEST_F(HexCalcTest, BadPasteIsReportedAndLosesNothing) {
    Type("5*");
    Paste("12G");
    EXPECT_EQ(Display(), "12G");
    Type("=");
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "'$12G' is not a valid integer value");
    EXPECT_EQ(Sign(), "*");
    EXPECT_EQ(calc_.State().Operand(), 5);
    Click("Button26");
    EXPECT_EQ(errors_.size(), 2u);
    EXPECT_EQ(Display(), "12G");
    // A change of base that cannot read the display leaves the whole
    // calculator in the old base, radio group included.
    ChooseBase("Dec");
    ASSERT_EQ(errors_.size(), 3u);
    EXPECT_EQ(CheckedBase(), "Hex");
    EXPECT_TRUE(Button("Button16")->isEnabled());
    EXPECT_EQ(calc_.State().Base(), calc::NumberBase::Hex);
    Paste("3");
    Type("=");
    EXPECT_EQ(Display(), "0000000F");

    ChooseBase("Bin");
    Paste("102");
    Type("+");
    ASSERT_EQ(errors_.size(), 4u);
    EXPECT_EQ(errors_[3], "'102' is not a valid integer value");
    EXPECT_EQ(Sign(), "");
}

TEST_F(HexCalcTest, ClipboardCopiesTheDisplay) {
    Type("bEEf");
    Click("Button24");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "BEEF");
}

TEST_F(HexCalcTest, KeysReachTheFormThroughAFocusedControl) {
    QWidget* focused = Button("Button23");
    Type("2+3=", focused);
    EXPECT_EQ(Display(), "00000005");
    QTest::keyClick(focused, Qt::Key_Escape);
    EXPECT_FALSE(calc_.isVisible());
    EXPECT_EQ(calc_.result(), QDialog::Rejected);
}

TEST_F(HexCalcTest, EnterPressesOnlyTheFocusedButton) {
    calc_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&calc_));
    QPushButton* seven = Button("Button8");
    seven->setFocus();
    QTest::keyClick(seven, Qt::Key_Return);
    QTest::keyClick(seven, Qt::Key_Enter);
    EXPECT_EQ(Display(), "77");
    QWidget* radio = calc_.findChild<QRadioButton*>();
    radio->setFocus();
    QTest::keyClick(radio, Qt::Key_Return);
    EXPECT_EQ(Display(), "77");
    EXPECT_TRUE(calc_.isVisible());
}

TEST_F(HexCalcTest, StateSurvivesCloseAndReopen) {
    // The main frame's round: fill, open, close, read back.
    Type("1f+");
    Click("Button23");
    EXPECT_FALSE(calc_.isVisible());
    const std::int32_t remembered = calc_.StrToNum(calc_.DisplayText());
    EXPECT_EQ(remembered, 31);
    calc_.SetDisplayText(calc_.NumToStr(remembered));
    calc_.show();
    EXPECT_EQ(Display(), "0000001F");
    EXPECT_EQ(Sign(), "+");
    Type("1=");
    EXPECT_EQ(Display(), "00000020");

    ChooseBase("Bin");
    Type("\x1b");
    calc_.show();
    EXPECT_EQ(CheckedBase(), "Bin");
    EXPECT_EQ(calc_.NumToStr(2), "00000000000000000000000000000010");
}

} // namespace
} // namespace lorvane
