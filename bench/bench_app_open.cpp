// Opening a big assembler source in the real frame with its colouring, and
// the same bytes as plain text: prints "name value unit" lines. The text is
// about 100 MB of instructions, directives, strings and Russian comments.
// "Open" is what the user waits for: the file read into a new window, the
// first screen painted and the frame's first idle pass; the colouring of
// what is not shown yet follows in the background with the layout, timed
// apart. Each file is opened three times, alternately; the best run counts.
// Pass a line count for a quicker run.
#include "BenchSupport.h"
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "app/RIzuvAzazEditor.h"
#include "editor/view/RIzuvAzaz.h"
#include "platform/ErrorHandler.h"
#include "platform/ScriptedDialogs.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

using namespace lorvane;
using namespace lorvane::bench;

namespace {

std::string Generate(int lines) {
    static const char* const kOps[] = {"mov", "add", "cmp",  "lea",  "push", "pop", "xor",
                                       "shl", "fld", "fstp", "call", "jnz",  "int", "rep movsb"};
    static const char* const kArgs[] = {
        "ax, bx",      "al, [si+2]", "dx, offset msg", "cx, 10", "word ptr [bp-4], 0FFh", "st(1)",
        "es:[di], al", "21h"};
    // "счётчик цикла", "вывод строки", "выход в DOS" in Windows-1251.
    static const char* const kComments[] = {"\xF1\xF7\xB8\xF2\xF7\xE8\xEA \xF6\xE8\xEA\xEB\xE0",
                                            "\xE2\xFB\xE2\xEE\xE4 \xF1\xF2\xF0\xEE\xEA\xE8",
                                            "\xE2\xFB\xF5\xEE\xE4 \xE2 DOS"};
    std::mt19937 rng(17);
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 64);
    for (int n = 0; n < lines; ++n) {
        switch (rng() % 16) {
        case 0:
            text += "label" + std::to_string(n) + ":";
            break;
        case 1:
            text += "msg" + std::to_string(n) + "  db  'Press a key; then Enter', 0Dh, 0Ah, '$'";
            break;
        case 2:
            text += "        .data";
            break;
        case 3:
            text += "; ";
            text += kComments[rng() % 3];
            break;
        default:
            text += "        ";
            text += kOps[rng() % std::size(kOps)];
            text += "     ";
            text += kArgs[rng() % std::size(kArgs)];
            if (rng() % 2) {
                text += "        ; ";
                text += kComments[rng() % 3];
            }
        }
        text += "\r\n";
    }
    return text;
}

struct Opened {
    double openMs;       // read, first paint and first idle pass
    double backgroundMs; // the rest laid out (and coloured) in the background
    long rss;            // resident bytes with all of it laid out
};

Opened OpenOnce(TMainFormLorvane& frame, const std::string& path) {
    const auto start = Clock::now();
    frame.FileOpenAll(path);
    TMDIChild* window = frame.ActiveChild();
    if (window == nullptr) {
        std::fprintf(stderr, "bench_app_open: %s did not open\n", path.c_str());
        std::exit(1);
    }
    RIzuvAzaz& control = static_cast<TRIzuvAzazEditor&>(window->Memo1()).Control();
    (void)control.viewport()->grab();
    frame.UpdateMenuItems();
    const double openMs = Ms(Clock::now() - start);
    const auto background = Clock::now();
    while (control.Model().BackgroundJobPending())
        control.Model().BackgroundSlice();
    const double backgroundMs = Ms(Clock::now() - background);
    const long rss = RssBytes();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return {openMs, backgroundMs, rss};
}

} // namespace

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::atoi(argv[1]) : 2800000;
    const std::filesystem::path root = IsolatedRoot("lorvane-bench-open");
    const std::string asmPath = (root / "PROG.ASM").string();
    const std::string txtPath = (root / "PROG.TXT").string();
    {
        const std::string text = Generate(lines);
        std::ofstream(asmPath, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        Print("file_mb", static_cast<double>(text.size()) / 1e6, "MB");
    }
    std::filesystem::copy_file(asmPath, txtPath);

    TApplication app(argc, argv);
    ScriptedDialogs dialogs;
    TMainFormLorvane frame(DocumentEditors(), {});
    frame.show();
    const long rssBefore = RssBytes();
    Opened txt{1e300, 1e300, 0}, asm_{1e300, 1e300, 0};
    for (int round = 0; round < 3; ++round) {
        const Opened t = OpenOnce(frame, txtPath);
        const Opened a = OpenOnce(frame, asmPath);
        // Memory a closed window gave back is used again: the first round
        // shows each file's own need best.
        const auto rss = [&](const Opened& best, const Opened& now) {
            return round == 0 ? now.rss - rssBefore : best.rss;
        };
        txt = {std::min(txt.openMs, t.openMs), std::min(txt.backgroundMs, t.backgroundMs),
               rss(txt, t)};
        asm_ = {std::min(asm_.openMs, a.openMs), std::min(asm_.backgroundMs, a.backgroundMs),
                rss(asm_, a)};
    }
    Print("open_txt_ms", txt.openMs, "ms");
    Print("open_asm_ms", asm_.openMs, "ms");
    Print("open_asm_over_txt", asm_.openMs / txt.openMs, "ratio");
    Print("background_txt_ms", txt.backgroundMs, "ms");
    Print("background_asm_ms", asm_.backgroundMs, "ms");
    Print("rss_txt_mb", static_cast<double>(txt.rss) / 1e6, "MB");
    Print("rss_asm_mb", static_cast<double>(asm_.rss) / 1e6, "MB");
    std::filesystem::remove_all(root);
    return 0;
}
