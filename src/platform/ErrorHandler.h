#pragma once
// The application object. An exception that reaches the event loop is shown
// to the user in a message box with its text and the program goes on, the way
// the default handler of a component-based desktop program behaves.
#include <QApplication>

#include <functional>
#include <string>

namespace lorvane {

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the text of an error to the user (the default handler): a message
    // box through the dialogs seam, stop icon, the application's title as
    // caption. A reporter, when set, is called instead.
    static void HandleException(const std::string& text);
    static void SetReporter(std::function<void(const std::string&)> reporter);
};

} // namespace lorvane
