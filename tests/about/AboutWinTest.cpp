#include "about/AboutWin.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

// Every caption fits its line, nothing of it cut off, and the picture is
// drawn: many colours, not a blank.
TEST(AboutWin, CaptionsFitThePictureIsDrawnAndOnlyOkCloses) {
    TAboutWin1 about;
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
        const auto* label = about.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->text().isEmpty()) << name;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
    const auto* picture = about.findChild<QLabel*>("ProgramIcon");
    ASSERT_NE(picture, nullptr);
    const QImage image = picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20);

    // Only OK closes it.
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.close());
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(about.OKButton(), Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
} // namespace lorvane
