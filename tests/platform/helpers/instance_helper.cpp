// One start of the program, reduced to its instance lock. Waits for one byte
// on standard input (so a test can release several starts at the same
// moment), takes the lock, and prints what it became:
//   FIRST, then FORWARD when a "come forward" request arrives (or TIMEOUT);
//   SECOND, then SENT or UNSENT for its request to the first instance.
// Usage: instance_helper <title> <milliseconds to wait as the first>
#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) return 2;
    const std::string title = argv[1];
    const int waitMs = std::atoi(argv[2]);
    (void)std::getchar();

    lorvane::InstanceLock lock(title);
    if (!lock.IsFirst()) {
        std::puts("SECOND");
        std::puts(lock.RequestComeForward() ? "SENT" : "UNSENT");
        return 0;
    }
    std::puts("FIRST");
    std::fflush(stdout);
    QObject::connect(&lock, &lorvane::InstanceLock::ComeForwardRequested, &app, [] {
        std::puts("FORWARD");
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(waitMs, &app, [] {
        std::puts("TIMEOUT");
        QCoreApplication::exit(0);
    });
    return app.exec();
}
