// The button hints show as tooltips, even while another window is active.
#include "app/EditorFactory.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

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
