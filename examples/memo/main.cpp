// A bare editor control in a window, to try the control by hand before the
// frame exists: example_memo [--terminal] [--font NAME] [--size PT]
// [--grab FILE.png] [FILE]. With --grab the window is drawn offscreen,
// saved as a picture, and the program ends.
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazInput.h"
#include "platform/ErrorHandler.h"
#include "platform/Stream.h"

#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <memory>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    std::string file, grab, fontName = "System";
    int size = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--grab" && i + 1 < argc)
            grab = argv[++i];
        else if (a == "--terminal")
            fontName = "Terminal";
        else if (a == "--font" && i + 1 < argc)
            fontName = argv[++i];
        else if (a == "--size" && i + 1 < argc)
            size = std::stoi(argv[++i]);
        else
            file = a;
    }
    if (!grab.empty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    lorvane::TApplication app(argc, argv);

    lorvane::RIzuvAzaz memo;
    memo.SetScrollBars(lorvane::ssBoth);
    memo.SetFont({fontName, 0, size, 0, false});
    memo.SetFontColor(lorvane::clBlack);
    memo.SetColor(lorvane::clWhite);
    memo.resize(800, 600);
    if (!file.empty()) {
        try {
            lorvane::TFileStream in(file, lorvane::TFileStream::OpenRead);
            memo.LoadFromStream(in);
            memo.SetModified(false);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    memo.setWindowTitle(QString::fromStdString(file.empty() ? "Untitled" : file));
    memo.AdoptInputHandler(std::make_unique<lorvane::TInputHandler>(memo));
    memo.show();
    if (grab.empty()) return app.exec();

    // Let the background layout finish, then take the picture.
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    if (!memo.grab().save(QString::fromStdString(grab))) {
        std::fprintf(stderr, "cannot write %s\n", grab.c_str());
        return 1;
    }
    return 0;
}
