// Where the frame meets the desktop, on the program's own editor control:
// files dropped from a file manager (each drop goes to the widget the
// toolkit picks for that point, as a real drag does) and the button hints.
#include "FrameFixture.h"
#include "components/FileMO.h"

#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>

namespace lorvane {
namespace {

// Drags `data` to `point` of the frame and drops it there when the widget
// under it takes the drag; true when it did.
bool DropAt(QWidget& frame, QPoint point, const QMimeData& data,
            Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QWidget* target = frame.childAt(point) ? frame.childAt(point) : &frame;
    while (!target->acceptDrops() && !target->isWindow())
        target = target->parentWidget();
    const QPoint at = target->mapFrom(&frame, point);
    QDragEnterEvent enter(at, actions, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!target->acceptDrops() || !enter.isAccepted()) return false;
    QDropEvent drop(at, actions, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    // A file manager told of a move deletes the file.
    EXPECT_NE(drop.dropAction(), Qt::MoveAction);
    QApplication::processEvents();
    return drop.isAccepted();
}

class FrameDesktop : public test::FrameFixture {};

TEST_F(FrameDesktop, DroppedFilesOpenEachInAWindowAndJoinTheRecentFiles) {
    TMainFormLorvane& frame = *this->frame;
    const std::string report = dir.File("Отчёт 1.txt");
    const std::string latin1 = dir.File("\xE9t\xE9#.asm"); // not UTF-8
    test::WriteFileBytes(report, "report");
    test::WriteFileBytes(latin1, "latin1");
    frame.resize(700, 450);
    QApplication::processEvents();

    // As a file manager writes the list: the name's bytes escaped.
    QMimeData files;
    files.setData("text/uri-list",
                  QUrl::fromLocalFile(QString::fromStdString(report)).toEncoded() + "\r\n" +
                      "file://" + QByteArray::fromStdString(dir.File("gone")) + "\r\n" + "file://" +
                      QByteArray::fromStdString(latin1).toPercentEncoding("/") +
                      "\r\nhttps://example.invalid/x.txt\r\n");
    QWidget* area = frame.MdiArea()->viewport();
    ASSERT_TRUE(DropAt(frame, area->mapTo(&frame, area->rect().center()), files));
    ASSERT_EQ(frame.Children().size(), 2u);
    EXPECT_EQ(frame.Children()[0]->Memo1().Text(), "report");
    EXPECT_EQ(frame.Children()[1]->Memo1().Text(), "latin1");
    EXPECT_EQ(frame.Children()[1]->FileName, latin1);
    const std::vector<std::string> recent = frame.FileMenuOpens1().Entries();
    EXPECT_EQ(recent.at(0), latin1);
    EXPECT_EQ(recent.at(1), report);
    EXPECT_EQ(std::count(recent.begin(), recent.end(), dir.File("gone")), 0)
        << "a file that did not open is not listed";
    EXPECT_EQ(TakeErrors().size(), 1u) << "the missing file is reported, once";

    // On a document window the control lets the files pass to the frame
    // (a drag that may only move is not taken); dragged text is the
    // control's, typed in where it falls, and opens nothing.
    frame.ActiveChild()->resize(300, 200);
    QApplication::processEvents();
    QWidget* control = frame.ActiveChild()->Memo1().Widget();
    const QPoint onControl = control->mapTo(&frame, control->rect().center());
    QMimeData one, text;
    one.setUrls({QUrl::fromLocalFile(QString::fromStdString(report))});
    text.setText(QStringLiteral("file:///etc/passwd"));
    EXPECT_FALSE(DropAt(frame, onControl, one, Qt::MoveAction));
    EXPECT_TRUE(DropAt(frame, onControl, text));
    EXPECT_EQ(frame.Children().size(), 2u);
    EXPECT_NE(frame.ActiveChild()->Memo1().Text().find("file:///etc/passwd"), std::string::npos);
    EXPECT_TRUE(DropAt(frame, onControl, one));
    EXPECT_EQ(frame.Children().size(), 3u);
}

TEST_F(FrameDesktop, ButtonsShowTheirHintsWithoutTheBarWhileAnotherWindowIsActive) {
    TMainFormLorvane& frame = *this->frame;
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
