// Opens the calculator and the about box by themselves, one after the other.
// With "--grab <dir>" it shows both without waiting for the user and saves
// them as calculator.png and about.png in <dir>.
#include "about/AboutWin.h"
#include "calc/HexCalc.h"
#include "platform/ErrorHandler.h"

#include <QDir>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    lorvane::TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Lorvane"));
    lorvane::THexCalc calc;
    lorvane::TAboutWin1 about;

    const QStringList args = QCoreApplication::arguments();
    const qsizetype grab = args.indexOf(QStringLiteral("--grab"));
    if (grab > 0 && grab + 1 < args.size()) {
        const QDir dir(args[grab + 1]);
        calc.show();
        calc.SetDisplayText(calc.NumToStr(0x1F));
        about.show();
        QCoreApplication::processEvents();
        const bool saved = calc.grab().save(dir.filePath(QStringLiteral("calculator.png"))) &&
                           about.grab().save(dir.filePath(QStringLiteral("about.png")));
        std::printf("calculator %dx%d, about %dx%d\n", calc.width(), calc.height(), about.width(),
                    about.height());
        return saved ? 0 : 1;
    }

    // The main frame's round: fill the display, open, read the value back.
    std::int32_t remembered = 0;
    calc.SetDisplayText(calc.NumToStr(remembered));
    calc.exec();
    remembered = calc.StrToNum(calc.DisplayText());
    std::printf("calculator value: %d\n", remembered);
    about.exec();
    return 0;
}
