// Start-up: the title first (the single-instance guard is named after it),
// then the frame, whose guard may end this start at once, then the other
// forms, then the event loop.
#include "about/AboutWin.h"
#include "app/CommandLine.h"
#include "app/EditorFactory.h"
#include "app/HandOver.h"
#include "app/MainForm.h"
#include "app/ProgramIcon.h"
#include "calc/HexCalc.h"
#include "components/JustOne.h"
#include "platform/ErrorHandler.h"
#include "platform/Translations.h"

#include <QLocale>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Options first, before the toolkit looks for a display and before
    // anything reads or creates the settings.
    const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
    const lorvane::CommandLine commandLine = lorvane::ParseCommandLine(words);
    using Action = lorvane::CommandLine::Action;
    switch (commandLine.action) {
    case Action::Help:
        std::fputs(lorvane::UsageText().c_str(), stdout);
        return 0;
    case Action::Version:
        std::fputs(lorvane::VersionText().c_str(), stdout);
        return 0;
    case Action::Error:
        std::fputs(commandLine.error.c_str(), stderr);
        return 2;
    case Action::Run:
        break;
    }
    // The files travel to the frame, and from a second start to the first,
    // as one string, one name per line.
    std::vector<std::string> parameters;
    if (const auto names = lorvane::StartFiles(commandLine.files); !names.empty())
        parameters.push_back(lorvane::JoinNames(names));

    // The toolkit sees no words of the command line: each of them is a file
    // name or one of the options above, whatever the toolkit would make of
    // it. Its settings come from its environment variables instead.
    int toolkitArgc = argc > 0 ? 1 : 0;
    lorvane::TApplication app(toolkitArgc, argv);
    app.setApplicationName(QStringLiteral("Lorvane"));
    app.setWindowIcon(lorvane::ProgramIcon());
    // Before any window: the toolkit's dialogs and menus take their texts
    // when they are made.
    const auto toolkitTexts = lorvane::LoadToolkitTranslation();
    if (toolkitTexts) app.installTranslator(toolkitTexts.get());
    // Sizes and dates in the file dialogs read as Russian too.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

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
