#pragma once
// Runs the event loop until `done` holds or the time is up; says which.
#include <QCoreApplication>
#include <QDeadlineTimer>

namespace lorvane::test {

template <typename Done> bool SpinUntil(Done done, int timeoutMs = 3000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace lorvane::test
