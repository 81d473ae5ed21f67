// What the frame shows around its documents: the status bar whole at every
// size, and the button hints as tooltips even while another window is active.
#include "app/EditorFactory.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

TEST(FrameLook, TheStatusBarIsWholeFromTheSmallestToALargeFrame) {
    TMainFormLorvane frame(DocumentEditors(), {});
    frame.show();
    frame.ShowHint(QStringLiteral("Open an existing file"));
    for (bool documentMaximized : {false, true}) {
        if (documentMaximized) {
            frame.FileNewItemClick();
            frame.ActiveChild()->showMaximized();
        }
        for (QSize size : {QSize(1, 1), QSize(709, 446), QSize(320, 200), QSize(2400, 1600)}) {
            frame.resize(size);
            QApplication::processEvents();
            const QStatusBar* bar = frame.StatusBar1();
            const QRect place = bar->geometry();
            SCOPED_TRACE(testing::Message() << frame.width() << "x" << frame.height());
            EXPECT_TRUE(frame.rect().contains(place)) << "the bar reaches past the frame";
            EXPECT_GE(place.height(), bar->sizeHint().height());
            EXPECT_GE(place.height(), bar->fontMetrics().height());
            EXPECT_GE(place.top(), frame.MdiArea()->geometry().bottom());
        }
    }
}

TEST(FrameLook, ButtonsShowTheirHintsWithoutTheBarWhileAnotherWindowIsActive) {
    TMainFormLorvane frame(DocumentEditors(), {});
    frame.show();
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    ASSERT_FALSE(frame.isActiveWindow());
    QToolButton* save = frame.Button("SaveBtn"); // disabled: no document yet
    for (const char* name : {"SpeedButton13", "SaveBtn", "SpeedButton17", "ExitBtn"})
        EXPECT_FALSE(frame.Button(name)->toolTip().contains('|')) << name;

    QTest::mouseMove(save, save->rect().center());
    // The toolkit shows a hint after the pointer rests a moment.
    QElapsedTimer waited;
    waited.start();
    while (!QToolTip::isVisible() && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), "Сохранить");
    QToolTip::hideText();
}

} // namespace
} // namespace lorvane
