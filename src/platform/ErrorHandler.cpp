#include "platform/ErrorHandler.h"

#include "platform/Dialogs.h"

#include <cstdio>
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
    // The handler runs inside notify(): nothing may escape from it, or the
    // event loop would end the program after all.
    try {
        if (Reporter()) {
            Reporter()(text);
            return;
        }
        Dialogs::Current().MessageBox(text, QApplication::applicationDisplayName().toStdString(),
                                      mbOK, MsgIcon::Stop);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n(while reporting: %s)\n", text.c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

} // namespace lorvane
