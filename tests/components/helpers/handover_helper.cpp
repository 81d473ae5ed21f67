// One start of the program reduced to its single-instance guard and the
// hand-over of the command line. Prints what happens, one word a line:
//   FIRST, then OPENED <name> for a handed-over file and FORWARD when its
//   minimised frame was called forward (it ends when both happened, or
//   prints TIMEOUT);
//   SECOND, then HIDDEN or SHOWN: whether the frame was ever shown.
// Usage: handover_helper <title> <ms to wait as the first> [parameters...]
#include "app/HandOver.h"
#include "components/JustOne.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class Frame : public QWidget {
public:
    bool everShown = false;

protected:
    void showEvent(QShowEvent* event) override {
        everShown = true;
        QWidget::showEvent(event);
    }
};

void Say(const std::string& line) {
    std::puts(line.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLocal8Bit(argv[1]));
    // The wait stands where a command line has the program's name.
    const std::string commandLine = lorvane::JoinParameters(argc - 2, argv + 2);

    Frame frame;
    lorvane::TXJustOne guard(&frame);
    guard.SetAlreadyExist([&](lorvane::TXJustOne*) { lorvane::WriteHandOver(commandLine); });
    guard.Loaded();
    if (!guard.IsFirstInstance()) {
        Say("SECOND");
        const int rc = app.exec();
        Say(frame.everShown ? "SHOWN" : "HIDDEN");
        return rc;
    }
    frame.showMinimized();
    Say("FIRST");
    bool opened = false;
    bool forward = false;
    // The frame's idle pass: pick up a handed-over name.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &app, [&] {
                         if (const std::string name = lorvane::TakeHandOver(); !name.empty()) {
                             Say("OPENED " + name);
                             opened = true;
                         }
                         if (!forward && !frame.isMinimized()) {
                             Say("FORWARD");
                             forward = true;
                         }
                         if (opened && forward) QCoreApplication::exit(0);
                     });
    QTimer::singleShot(std::atoi(argv[2]), &app, [] {
        Say("TIMEOUT");
        QCoreApplication::exit(0);
    });
    return app.exec();
}
