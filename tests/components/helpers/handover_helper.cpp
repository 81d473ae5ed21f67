// A later start of the program reduced to its single-instance guard: it
// hands its command line over as the frame does and prints SECOND, then
// HIDDEN or SHOWN as it ends (whether its frame was ever shown); FIRST, and
// nothing more, when no other start holds the guard.
// Usage: handover_helper <application name> [parameters...]
#include "app/HandOver.h"
#include "components/JustOne.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLocal8Bit(argv[1]));
    // The application name stands where a command line has the program's.
    const std::string commandLine = lorvane::JoinParameters(argc - 1, argv + 1);

    Frame frame;
    lorvane::TXJustOne guard(&frame);
    guard.SetAlreadyExist([&](lorvane::TXJustOne*) { lorvane::WriteHandOver(commandLine); });
    guard.Loaded();
    if (guard.IsFirstInstance()) {
        std::puts("FIRST");
        return 1;
    }
    std::puts("SECOND");
    const int rc = app.exec();
    std::puts(frame.everShown ? "SHOWN" : "HIDDEN");
    return rc;
}
