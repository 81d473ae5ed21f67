// Files dropped on the frame from a file manager, on the program's own
// editor control: the drop reaches the widget the toolkit would pick for
// that point, as a file manager's drag does.
#include "app/FrameDrops.h"
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "components/FileMO.h"
#include "platform/ErrorHandler.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace lorvane {
namespace {

using test::TempDir;
using test::WriteFileBytes;

// A uri-list as file managers write it: every byte beyond ASCII and every
// character with a meaning in a URL escaped, the plain ones escaped or not.
std::string FileUri(const std::string& path, std::mt19937& random) {
    std::string uri = "file://";
    for (unsigned char c : path) {
        const bool plain = std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_';
        if (plain && (c == '/' || random() % 2)) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

TEST(FrameDrops, EveryLocalFileOfAUriListComesBackByteForByte) {
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> names;
        std::string list = "# dragged\r\nhttps://example.invalid/x.txt\r\n";
        for (int n = 1 + random() % 3; n > 0; --n) {
            std::string name = "/tmp/";
            for (int length = 1 + random() % 12; length > 0; --length) {
                const char c = static_cast<char>(1 + random() % 255);
                name += c == '/' ? 'x' : c;
            }
            names.push_back(name);
            list += FileUri(name, random) + "\r\n";
        }
        QMimeData data;
        data.setData("text/uri-list", QByteArray::fromStdString(list));
        ASSERT_EQ(DroppedFiles(&data), names) << "seed " << seed << "\n" << list;
    }
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a.txt"));
    EXPECT_TRUE(DroppedFiles(&text).empty());
}

// Drags `data` to `point` of the frame and drops it there when the widget
// under it takes the drag; true when it did.
bool DropAt(QWidget& frame, QPoint point, const QMimeData& data,
            Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QWidget* target = frame.childAt(point);
    if (target == nullptr) target = &frame;
    while (!target->acceptDrops() && !target->isWindow())
        target = target->parentWidget();
    const QPointF at = target->mapFrom(&frame, point);
    QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!target->acceptDrops() || !enter.isAccepted()) return false;
    QDropEvent drop(at, actions, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    // A file manager must never read a move: it would delete the file.
    EXPECT_NE(drop.dropAction(), Qt::MoveAction);
    QApplication::processEvents();
    return drop.isAccepted();
}

TEST(FrameDrops, DroppedFilesOpenEachInAWindowAndJoinTheRecentFiles) {
    TempDir dir;
    const std::string report = dir.File("Отчёт 1.txt");
    const std::string odd = dir.File("b#%20.asm");
    WriteFileBytes(report, "report");
    WriteFileBytes(odd, "odd");
    TMainFormLorvane frame(DocumentEditors(), {});
    frame.resize(700, 450);
    frame.show();
    QApplication::processEvents();
    std::vector<std::string> errors;
    TApplication::SetReporter([&](const std::string& text) { errors.push_back(text); });

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(report)),
                   QUrl::fromLocalFile(QString::fromStdString(dir.File("gone.txt"))),
                   QUrl::fromLocalFile(QString::fromStdString(odd))});
    QWidget* area = frame.MdiArea()->viewport();
    ASSERT_TRUE(DropAt(frame, area->mapTo(&frame, area->rect().center()), files));
    ASSERT_EQ(frame.Children().size(), 2u);
    EXPECT_EQ(frame.Children()[0]->Memo1().Text(), "report");
    EXPECT_EQ(frame.Children()[1]->Caption(), odd);
    EXPECT_EQ(frame.Children()[1]->FileName, odd);
    const std::vector<std::string> recent = frame.FileMenuOpens1().Entries();
    EXPECT_EQ(recent.at(0), odd);
    EXPECT_EQ(recent.at(1), report);
    EXPECT_EQ(std::count(recent.begin(), recent.end(), dir.File("gone.txt")), 0);
    EXPECT_EQ(errors.size(), 1u) << "the missing file is reported, once";

    // On a document window the control lets the files pass to the frame;
    // dragged text and a drag that may only move are not taken.
    TMDIChild* window = frame.ActiveChild();
    window->resize(300, 200);
    QApplication::processEvents();
    QWidget* control = window->Memo1().Widget();
    const QPoint onControl = control->mapTo(&frame, control->rect().center());
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(QString::fromStdString(report))});
    EXPECT_FALSE(DropAt(frame, onControl, one, Qt::MoveAction));
    QMimeData text;
    text.setText(QStringLiteral("file:///etc/passwd"));
    EXPECT_FALSE(DropAt(frame, onControl, text));
    EXPECT_EQ(frame.Children().size(), 2u);
    EXPECT_TRUE(DropAt(frame, onControl, one));
    EXPECT_EQ(frame.Children().size(), 3u);
    // The menu bar belongs to the frame: a drop there opens the file too.
    EXPECT_TRUE(DropAt(frame, QPoint(frame.width() - 5, 5), one));
    EXPECT_EQ(frame.Children().size(), 4u);
    TApplication::SetReporter({});
    EXPECT_EQ(errors.size(), 1u);
}

} // namespace
} // namespace lorvane
