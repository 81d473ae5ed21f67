// bench_editor_input: typing and paging through real key events on the
// editor control (offscreen platform, a real font), next to the peer
// editing component driven by the same events, on a generated 100 MB text.
// Prints "name value unit" lines; qsci_ lines are the peer's figures.
// Usage: bench_editor_input [--quick] [--ours] [FILE] (--quick: 10 MB,
// fewer keys; --ours: without the peer, for profiling).
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazInput.h"
#include "platform/ErrorHandler.h"
#include "platform/Stream.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

double Median(std::vector<double> t) {
    std::nth_element(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(t.size() / 2), t.end());
    return t[t.size() / 2];
}

void Print(const char* name, double value, const char* unit = "ms") {
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Assembler-like lines with Cyrillic comments; every 40th line is long
// enough to wrap at 800 pixels.
void Generate(const std::string& path, int lines) {
    static const char* const kWords[] = {"mov", "ax",   "bx",   "cx",     "dx",        "push",
                                         "pop", "call", "int",  "21h",    "offset",    "buffer",
                                         "cmp", "jmp",  "0FFh", "[si+2]", "loop_start"};
    static const char* const kCyr[] = {"\xEF\xF0\xEE\xE2\xE5\xF0\xEA\xE0", "\xF1\xF7\xB8\xF2",
                                       "\xE1\xF3\xF4\xE5\xF0", "\xD1\xF2\xF0\xEE\xEA\xE0"};
    std::mt19937 rng(4711);
    std::ofstream out(path, std::ios::binary);
    std::string chunk;
    for (int n = 0; n < lines; ++n) {
        std::string line = rng() % 3 == 0 ? "\t\t" : "        ";
        const int words = (n % 40 == 0 ? 40 : 4) + static_cast<int>(rng() % 6);
        for (int w = 0; w < words; ++w) {
            if (w) line.push_back(w == 1 ? '\t' : ' ');
            line.append(kWords[rng() % std::size(kWords)]);
        }
        line.append("\t; ");
        for (int w = 0, cw = 2 + static_cast<int>(rng() % 5); w < cw; ++w) {
            if (w) line.push_back(' ');
            line.append(kCyr[rng() % std::size(kCyr)]);
        }
        line.append("\r\n");
        chunk += line;
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

void Show(QWidget& w) {
    w.resize(800, 600);
    w.show();
    QApplication::processEvents();
}

void Press(QWidget& target, int key, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &up);
}

struct Ours {
    explicit Ours(const std::string& path) {
        memo.SetFont({"System", 0, 10, 0, false});
        Show(memo);
        lorvane::TFileStream in(path, lorvane::TFileStream::OpenRead);
        memo.LoadFromStream(in);
        memo.setFocus();
    }
    lorvane::RIzuvAzaz memo;
    std::unique_ptr<lorvane::TInputHandler> input = std::make_unique<lorvane::TInputHandler>(memo);
};

struct Peer {
    explicit Peer(const std::string& path) {
        sci.setUtf8(false);
        sci.setFont(QFont("DejaVu Sans Mono", 10));
        sci.setWrapMode(QsciScintilla::WrapWord);
        Show(sci);
        QFile f(QString::fromStdString(path));
        if (f.open(QIODevice::ReadOnly))
            sci.SendScintilla(QsciScintillaBase::SCI_SETTEXT, f.readAll().constData());
        sci.setFocus();
    }
    QsciScintilla sci;
};

template <typename Editor, typename Go>
double TypeLatency(Editor& target, QWidget& view, Go goMiddle, int keys) {
    goMiddle();
    view.repaint();
    std::vector<double> t;
    for (int i = 0; i < keys; ++i) {
        const auto t0 = Clock::now();
        Press(target, Qt::Key_X, "x");
        view.repaint();
        t.push_back(Ms(t0));
    }
    return Median(t);
}

// Per screen: the key with the repaint, and (in keyOnly) the key alone.
template <typename Editor>
double PageDown(Editor& target, QWidget& view, int screens, double* keyOnly = nullptr) {
    view.repaint();
    double keys = 0;
    const auto t0 = Clock::now();
    for (int i = 0; i < screens; ++i) {
        const auto k = Clock::now();
        Press(target, Qt::Key_PageDown);
        keys += Ms(k);
        view.repaint();
    }
    if (keyOnly) *keyOnly = keys / screens;
    return Ms(t0) / screens;
}

} // namespace

int main(int argc, char** argv) {
    bool quick = false, oursOnly = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick")
            quick = true;
        else if (a == "--ours")
            oursOnly = true;
        else
            path = a;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    lorvane::TApplication app(argc, argv);
    const bool made = path.empty();
    if (made) {
        path = "/tmp/lorvane_bench_editor_input.txt";
        Generate(path, quick ? 150000 : 1500000);
    }
    const int keys = quick ? 50 : 200;
    // The peer re-wraps on every key in a big text; fewer keys keep the run bounded.
    const int peerKeys = quick ? 10 : 25;
    const int screens = quick ? 200 : 1000;
    {
        Ours o(path);
        Print("type_latency_ms", TypeLatency(
                                     o.memo, *o.memo.viewport(),
                                     [&] { o.memo.SetSelStart(o.memo.TextLength() / 2); }, keys));
    }
    {
        Ours o(path);
        o.memo.SetSelStart(0);
        double keyOnly = 0;
        Print("page_down_ms", PageDown(o.memo, *o.memo.viewport(), screens, &keyOnly));
        Print("page_down_key_only_ms", keyOnly);
    }
    if (!oursOnly) {
        Peer p(path);
        Print("qsci_type_latency_ms",
              TypeLatency(
                  p.sci, *p.sci.viewport(),
                  [&] {
                      p.sci.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                          p.sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) /
                                              2);
                  },
                  peerKeys));
    }
    if (!oursOnly) {
        Peer p(path);
        Print("qsci_page_down_ms", PageDown(p.sci, *p.sci.viewport(), screens));
    }
    if (made) std::remove(path.c_str());
    return 0;
}
