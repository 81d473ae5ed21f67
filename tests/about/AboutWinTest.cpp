#include "about/AboutWin.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

std::string LabelText(const TAboutWin1& about, const char* name) {
    const auto* label = about.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text().toStdString() : "<missing>";
}

TEST(AboutWin, FormAndTexts) {
    TAboutWin1 about;
    EXPECT_EQ(about.windowTitle().toStdString(), "Информация");
    EXPECT_EQ(LabelText(about, "Label3"), "Lorvane - multi-windows text editor");
    EXPECT_EQ(LabelText(about, "Label2"), "Version  1.9.0.1.");

    const auto* panel = about.findChild<QWidget*>("Panel1");
    ASSERT_NE(panel, nullptr);
    const auto* picture = panel->findChild<QLabel*>("ProgramIcon");
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->hasScaledContents());
    EXPECT_TRUE(panel->rect().contains(picture->geometry()));
    EXPECT_GT(picture->width(), 270);
    // Every line must fit its width: nothing of a caption may be cut off.
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
        const auto* label = about.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->text().isEmpty()) << name;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
    // The picture is drawn: many colours, not a blank.
    const QImage image = picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
}

TEST(AboutWin, OnlyOkClosesIt) {
    TAboutWin1 about;
    about.show();
    QPushButton* ok = about.OKButton();
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(ok->font().bold());
    EXPECT_EQ(about.focusWidget(), ok);

    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.close());
    EXPECT_TRUE(about.isVisible());

    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);

    about.show();
    ok->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
} // namespace lorvane
