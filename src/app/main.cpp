#include "platform/ErrorHandler.h"

#include <QMainWindow>

int main(int argc, char** argv) {
    lorvane::TApplication app(argc, argv);
    app.setApplicationName("Lorvane");
    // The frame proper replaces this window; until then the program opens
    // an empty frame under its caption and closes with it.
    QMainWindow frame;
    frame.setWindowTitle(QString::fromUtf8("Текстовый редактор Lorvane"));
    frame.resize(800, 600);
    frame.show();
    return app.exec();
}
