// Start-up: the title first (the single-instance guard is named after it),
// then the frame, whose guard may end this start at once, then the other
// forms, then the event loop.
#include "about/AboutWin.h"
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "app/ToolIcons.h"
#include "calc/HexCalc.h"
#include "components/JustOne.h"
#include "platform/ErrorHandler.h"
#include "platform/Translations.h"

#include <QLocale>
#include <QTimer>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    lorvane::TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Lorvane"));
    app.setWindowIcon(lorvane::ToolIcon("Program"));
    // Before any window: the toolkit's dialogs and menus take their texts
    // when they are made.
    const auto toolkitTexts = lorvane::LoadToolkitTranslation();
    if (toolkitTexts) app.installTranslator(toolkitTexts.get());
    // Sizes and dates in the file dialogs read as Russian too.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    std::vector<std::string> parameters(argv + (argc > 0 ? 1 : 0), argv + argc);
    lorvane::TMainFormLorvane frame(lorvane::DocumentEditors(), std::move(parameters));
    // A second start has handed its file over; its loop ends as it starts.
    if (!frame.XJustOne1().IsFirstInstance()) return app.exec();

    lorvane::TAboutWin1 aboutWin1(&frame);
    frame.SetAboutBox(&aboutWin1);
    lorvane::THexCalc hexCalc(&frame);
    frame.SetCalculator(&hexCalc);

    frame.show();
    // The command line's file opens at the frame's first activation; a
    // desktop that starts the program without giving it the focus must not
    // leave the frame empty until the first click.
    QTimer::singleShot(0, &frame, [&frame] {
        if (!frame.FirstActivationDone()) frame.AboutBoxCr();
    });
    return app.exec();
}
