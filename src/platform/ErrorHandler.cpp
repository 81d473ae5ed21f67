#include "platform/ErrorHandler.h"

#include <QMessageBox>

#include <exception>

namespace lorvane {

namespace {
std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter;
    return reporter;
}
} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        HandleException(e.what());
    } catch (...) {
        HandleException("Unknown error");
    }
    return false;
}

void TApplication::SetReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

void TApplication::HandleException(const std::string& text) {
    if (Reporter()) {
        Reporter()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

} // namespace lorvane
