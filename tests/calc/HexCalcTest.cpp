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

#include <algorithm>
#include <cctype>
#include <memory>
#include <string_view>
#include <tuple>

namespace lorvane {
namespace {

class HexCalcTest : public ::testing::Test {
protected:
    void SetUp() override {
        TApplication::SetReporter([this](const std::string& text) { errors_.push_back(text); });
        Fresh();
    }
    void Fresh() {
        calc_ = std::make_unique<THexCalc>();
        calc_->show();
    }
    void TearDown() override {
        TApplication::SetReporter(nullptr);
        EXPECT_TRUE(dialogs_.Errors().empty());
    }

    QPushButton* Button(const char* name) {
        auto* button = calc_->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    void Click(const char* name) { Button(name)->click(); }
    // Typed at the form; every character goes through the key table.
    void Type(std::string_view keys, QWidget* target = nullptr) {
        for (char c : keys)
            QTest::keyClick(target ? target : calc_.get(), c);
    }
    // Typed keys, with "~" for the sign button and "{Dec}" for a base.
    void Script(std::string_view keys) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] == '~') {
                Click("Button26");
            } else if (keys[i] == '{') {
                const std::size_t end = keys.find('}', i);
                ChooseBase(std::string(keys.substr(i + 1, end - i - 1)).c_str());
                i = end;
            } else {
                Type(keys.substr(i, 1));
            }
        }
    }
    QList<QRadioButton*> Radios() {
        return calc_->findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>();
    }
    void ChooseBase(const char* item) {
        for (auto* radio : Radios())
            if (radio->text() == QLatin1String(item)) radio->click();
    }
    std::string CheckedBase() {
        for (auto* radio : Radios())
            if (radio->isChecked()) return radio->text().toStdString();
        return {};
    }
    std::string Display() { return calc_->findChild<QLineEdit*>("Edit1")->text().toStdString(); }
    std::string Sign() { return calc_->findChild<QLabel*>("Panel1")->text().toStdString(); }
    void Paste(const char* text) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        Click("Button25");
    }

    ScriptedDialogs dialogs_;
    std::vector<std::string> errors_;
    std::unique_ptr<THexCalc> calc_;
};

TEST_F(HexCalcTest, DigitButtonsFollowTheBase) {
    const auto enabled = [this] {
        std::string digits;
        for (const QPushButton* button : calc_->findChildren<QPushButton*>())
            if (button->isEnabled() && button->text().size() == 1 &&
                std::isxdigit(button->text()[0].toLatin1()))
                digits += button->text().toStdString();
        std::sort(digits.begin(), digits.end());
        return digits;
    };
    const std::tuple<const char*, const char*, int> bases[] = {{"Hex", "0123456789ABCDEF", 8},
                                                               {"Oct", "01234567", 11},
                                                               {"Bin", "01", 32},
                                                               {"Dec", "0123456789", 11}};
    for (const auto& [base, digits, length] : bases) {
        ChooseBase(base);
        EXPECT_EQ(enabled(), digits) << base;
        EXPECT_EQ(calc_->State().MaxLength(), length) << base;
    }
}

// Key scripts, each on a fresh calculator: "keys>display" steps apart by
// spaces; in the keys "~" is the sign button and "{Dec}" a change of base.
TEST_F(HexCalcTest, KeyScripts) {
    const char* const scripts[] = {
        // Overflow wraps, and the wrapped value reads in decimal.
        "7fffffff+1=>80000000 {Dec}>-2147483648",
        "{Oct}17{Dec}>15",
        // Digits beyond the entry length show but are not read.
        "123456789>123456789 +1=>12345679",
        // Operations do not chain; a second sign while one is pending is ignored.
        "{Dec}3++5=>8 \\+/2=>2",
        // Division truncates toward zero; the one quotient that does not fit
        // wraps like every other overflow.
        "{Dec}7/2=>3 7~/2=>-3 2147483647+1=>-2147483648 /1~=>-2147483648 ~>-2147483648",
        // A zero result is padded only after an operation.
        "5-5=>00000000 ~>0 3*0=>00000000 {Bin}>0 1-1=>00000000000000000000000000000000",
        // Keys of disabled digits do nothing.
        "{Dec}5a>5 {Bin}\\1297021>101",
    };
    for (const std::string_view script : scripts) {
        Fresh();
        std::size_t at = 0;
        while (at < script.size()) {
            const std::size_t mark = script.find('>', at);
            const std::size_t end = std::min(script.find(' ', mark), script.size());
            Script(script.substr(at, mark - at));
            EXPECT_EQ(Display(), script.substr(mark + 1, end - mark - 1)) << script.substr(0, end);
            at = end + 1;
        }
    }
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
    EXPECT_EQ(calc_->State().Operand(), 0);
    EXPECT_EQ(calc_->State().CurrentValue(), 10);
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
    EXPECT_EQ(calc_->State().Operand(), 5);
    Click("Button26");
    EXPECT_EQ(errors_.size(), 2u);
    EXPECT_EQ(Display(), "12G");
    // A change of base that cannot read the display leaves the whole
    // calculator in the old base, radio group included.
    ChooseBase("Dec");
    ASSERT_EQ(errors_.size(), 3u);
    EXPECT_EQ(CheckedBase(), "Hex");
    EXPECT_TRUE(Button("Button16")->isEnabled());
    EXPECT_EQ(calc_->State().Base(), calc::NumberBase::Hex);
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

TEST_F(HexCalcTest, KeysReachTheFormThroughAFocusedControlAndTheDisplayIsCopied) {
    QWidget* focused = Button("Button23");
    Type("2+3=", focused);
    EXPECT_EQ(Display(), "00000005");
    Type("bEEf", focused);
    Click("Button24");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "BEEF");
    QTest::keyClick(focused, Qt::Key_Escape);
    EXPECT_FALSE(calc_->isVisible());
    EXPECT_EQ(calc_->result(), QDialog::Rejected);
}

TEST_F(HexCalcTest, EnterPressesOnlyTheFocusedButton) {
    calc_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(calc_.get()));
    QPushButton* seven = Button("Button8");
    seven->setFocus();
    QTest::keyClick(seven, Qt::Key_Return);
    QTest::keyClick(seven, Qt::Key_Enter);
    EXPECT_EQ(Display(), "77");
    QWidget* radio = calc_->findChild<QRadioButton*>();
    radio->setFocus();
    QTest::keyClick(radio, Qt::Key_Return);
    EXPECT_EQ(Display(), "77");
    EXPECT_TRUE(calc_->isVisible());
}

} // namespace
} // namespace lorvane
