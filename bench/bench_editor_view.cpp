// bench_editor_view: the editor control on screen (offscreen platform, a
// real font) against the peer editing component, on the same generated
// 100 MB text of about 1.5 million lines, a 5 MB single paragraph and a
// 5 MB word without a blank.
// Prints "name value unit" lines; qsci_ lines are the peer's figures,
// measured the same way. Usage: bench_editor_view [--quick] [--ours]
// [--longword] [--loads] [FILE] (--quick: 10 MB, fewer samples, for trying
// the harness; --ours: no peer; --longword: only the long word; --loads:
// only the five first-paint loads; FILE: the text to load, generated there
// and kept when it does not exist).
#include "editor/view/RIzuvAzaz.h"
#include "platform/ErrorHandler.h"
#include "platform/Stream.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFile>
#include <QScrollBar>

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
const char kMarker[] = "zanzibar_marker";
constexpr int kLoads = 5;

double Ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

template <typename F> double Median(int runs, F&& each) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i)
        t.push_back(each(i));
    std::nth_element(t.begin(), t.begin() + runs / 2, t.end());
    return t[static_cast<std::size_t>(runs / 2)];
}

void Print(const char* name, double value, const char* unit = "ms") {
    std::printf("%s %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Assembler-like lines with Cyrillic comments, every 40th line long enough
// to wrap at 800 pixels; the marker word stands near the end.
void Generate(const std::string& path, int lines) {
    static const char* const kWords[] = {"mov",   "ax",   "bx",  "cx",   "dx",     "push",
                                         "pop",   "call", "int", "21h",  "offset", "buffer",
                                         "count", "cmp",  "jmp", "0FFh", "[si+2]", "loop_start"};
    static const char* const kCyr[] = {
        "\xEF\xF0\xEE\xE2\xE5\xF0\xEA\xE0", "\xF1\xF7\xB8\xF2\xF7\xE8\xEA", "\xE1\xF3\xF4\xE5\xF0",
        "\xD1\xF2\xF0\xEE\xEA\xE0", "\xE7\xED\xE0\xF7\xE5\xED\xE8\xE5"};
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
        const int cw = 2 + static_cast<int>(rng() % 5);
        for (int w = 0; w < cw; ++w) {
            if (w) line.push_back(' ');
            line.append(kCyr[rng() % std::size(kCyr)]);
        }
        if (n == lines - 1000) line.append(std::string(" ") + kMarker);
        line.append("\r\n");
        chunk += line;
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

std::string LongParagraph(std::size_t bytes) {
    std::mt19937 rng(99);
    static const char* const kWords[] = {"alpha", "beta", "gamma", "delta", "\xF1\xEB\xEE\xE2\xEE"};
    std::string s;
    s.reserve(bytes + 16);
    while (s.size() < bytes) {
        s.append(kWords[rng() % std::size(kWords)]);
        s.push_back(' ');
    }
    return s;
}

// One word of `bytes` letters, not a blank in it (minified code, base64):
// wrapping can only cut it, character by character.
std::string LongWord(std::size_t bytes) {
    std::mt19937 rng(7);
    std::string s(bytes, 'a');
    for (char& c : s)
        c = rng() % 5 == 0 ? static_cast<char>(0xE0 + rng() % 32)
                           : static_cast<char>('a' + rng() % 26);
    return s;
}

void Show(QWidget& w) {
    w.resize(800, 600);
    w.show();
    QApplication::processEvents();
}

// A fresh control at 800 x 600, as the first-paint loads and the measures
// after them use it.
std::unique_ptr<lorvane::RIzuvAzaz> FreshOurs() {
    auto memo = std::make_unique<lorvane::RIzuvAzaz>();
    memo->SetFont({"System", 0, 10, 0, false});
    memo->SetScrollBars(lorvane::ssVertical);
    Show(*memo);
    return memo;
}

double LoadOurs(lorvane::RIzuvAzaz& memo, const std::string& path) {
    const auto t0 = Clock::now();
    {
        lorvane::TFileStream in(path, lorvane::TFileStream::OpenRead);
        memo.LoadFromStream(in);
    }
    memo.viewport()->repaint();
    return Ms(t0);
}

std::unique_ptr<QsciScintilla> FreshPeer() {
    auto sci = std::make_unique<QsciScintilla>();
    sci->setUtf8(false);
    sci->setFont(QFont("DejaVu Sans Mono", 10));
    Show(*sci);
    return sci;
}

// Loaded unwrapped: with wrapping on, loading already wraps it all.
double LoadPeer(QsciScintilla& sci, const std::string& path) {
    const auto t0 = Clock::now();
    {
        QFile f(QString::fromStdString(path));
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        sci.SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
    }
    sci.viewport()->repaint();
    return Ms(t0);
}

void PrintLoads(const char* prefix, std::vector<double> t) {
    std::sort(t.begin(), t.end());
    const std::string p = prefix;
    Print((p + "first_paint_median_ms").c_str(), t[t.size() / 2]);
    Print((p + "first_paint_spread").c_str(), t.back() / std::max(t.front(), 1e-3), "ratio");
}

void RunOurs(lorvane::RIzuvAzaz& memo, const std::string& longText, int samples) {
    using namespace lorvane;
    {
        auto t0 = Clock::now();
        t0 = Clock::now();
        memo.Model().LayoutRange(0, memo.ParagraphCount() - 1, false);
        Print("layout_all_ms", Ms(t0));
        std::printf("display_lines %d count\n", memo.Model().LineCount());

        Print("repaint_ms", Median(20, [&](int) {
                  const auto t = Clock::now();
                  memo.viewport()->repaint();
                  return Ms(t);
              }));

        const std::int32_t mid = memo.TextLength() / 2;
        Print("keystroke_repaint_ms", Median(samples, [&](int i) {
                  const auto t = Clock::now();
                  memo.SetSelStart(mid + i);
                  memo.SetSelText("x");
                  memo.viewport()->repaint();
                  return Ms(t);
              }));

        memo.SetSelStart(0);
        t0 = Clock::now();
        const bool found = memo.FindText(kMarker, true, true, false);
        Print("find_end_ms", Ms(t0));
        if (!found) std::printf("find_end_missed 1 count\n");
    }
    {
        RIzuvAzaz memo;
        memo.SetFont({"System", 0, 10, 0, false});
        Show(memo);
        memo.SetText(longText);
        memo.Model().LayoutRange(0, 0, false);
        const auto mid = static_cast<std::int32_t>(longText.size() / 2);
        Print("longline_keystroke_ms", Median(std::max(5, samples / 4), [&](int i) {
                  const auto t = Clock::now();
                  memo.SetSelStart(mid + i);
                  memo.SetSelText("x");
                  memo.viewport()->repaint();
                  return Ms(t);
              }));
    }
}

void RunPeer(QsciScintilla& sci, const std::string& longText, int samples) {
    {
        // The peer wraps the lines shown at once and the rest in idle
        // time: the event loop runs until the last line's display line
        // stops moving.
        const long last = sci.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) - 1;
        auto t0 = Clock::now();
        sci.setWrapMode(QsciScintilla::WrapWord);
        sci.viewport()->repaint();
        long known = -1;
        for (int still = 0; still < 20 && Ms(t0) < 600000;) {
            QApplication::processEvents();
            const long now = sci.SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, last);
            still = now == known ? still + 1 : 0;
            known = now;
        }
        Print("qsci_layout_all_ms", Ms(t0));
        std::printf("qsci_display_lines %ld count\n",
                    sci.SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, last) + 1);

        Print("qsci_repaint_ms", Median(20, [&](int) {
                  const auto t = Clock::now();
                  sci.viewport()->repaint();
                  return Ms(t);
              }));

        const long mid = sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2;
        Print("qsci_keystroke_repaint_ms", Median(samples, [&](int i) {
                  const auto t = Clock::now();
                  sci.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, mid + i);
                  sci.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1, "x");
                  sci.viewport()->repaint();
                  return Ms(t);
              }));

        t0 = Clock::now();
        sci.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS,
                          QsciScintillaBase::SCFIND_MATCHCASE);
        sci.SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, 0);
        sci.SendScintilla(QsciScintillaBase::SCI_SETTARGETEND,
                          sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
        const long at = sci.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET,
                                          static_cast<unsigned long>(sizeof kMarker - 1), kMarker);
        if (at >= 0)
            sci.SendScintilla(QsciScintillaBase::SCI_SETSEL, at,
                              at + static_cast<long>(sizeof kMarker - 1));
        Print("qsci_find_end_ms", Ms(t0));
    }
    {
        QsciScintilla sci;
        sci.setUtf8(false);
        sci.setFont(QFont("DejaVu Sans Mono", 10));
        sci.setWrapMode(QsciScintilla::WrapWord);
        Show(sci);
        sci.SendScintilla(QsciScintillaBase::SCI_SETTEXT, longText.c_str());
        sci.viewport()->repaint();
        const long mid = static_cast<long>(longText.size() / 2);
        Print("qsci_longline_keystroke_ms", Median(std::max(3, samples / 20), [&](int i) {
                  const auto t = Clock::now();
                  sci.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, mid + i);
                  sci.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1, "x");
                  sci.viewport()->repaint();
                  return Ms(t);
              }));
    }
}

// Word wrap on (the default), 800 pixels wide: the word is cut into display
// lines when it is first shown.
void RunOursLongWord(const std::string& longWord, int samples) {
    using namespace lorvane;
    RIzuvAzaz memo;
    memo.SetFont({"System", 0, 10, 0, false});
    Show(memo);
    auto t0 = Clock::now();
    memo.SetText(longWord);
    memo.viewport()->repaint();
    Print("longword_load_ms", Ms(t0));
    const auto mid = static_cast<std::int32_t>(longWord.size() / 2);
    memo.SetSelStart(mid);
    memo.viewport()->repaint();
    Print("longword_keystroke_ms", Median(std::max(5, samples / 4), [&](int i) {
              const auto t = Clock::now();
              memo.SetSelStart(mid + i);
              memo.SetSelText("x");
              memo.viewport()->repaint();
              return Ms(t);
          }));
}

void RunPeerLongWord(const std::string& longWord, int samples) {
    QsciScintilla sci;
    sci.setUtf8(false);
    sci.setFont(QFont("DejaVu Sans Mono", 10));
    sci.setWrapMode(QsciScintilla::WrapWord);
    Show(sci);
    auto t0 = Clock::now();
    sci.SendScintilla(QsciScintillaBase::SCI_SETTEXT, longWord.c_str());
    sci.viewport()->repaint();
    Print("qsci_longword_load_ms", Ms(t0));
    const long mid = static_cast<long>(longWord.size() / 2);
    sci.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, mid);
    sci.viewport()->repaint();
    Print("qsci_longword_keystroke_ms", Median(std::max(3, samples / 20), [&](int i) {
              const auto t = Clock::now();
              sci.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, mid + i);
              sci.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1, "x");
              sci.viewport()->repaint();
              return Ms(t);
          }));
}

} // namespace

int main(int argc, char** argv) {
    bool quick = false, peer = true, longWordOnly = false, loadsOnly = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick")
            quick = true;
        else if (a == "--ours")
            peer = false;
        else if (a == "--longword")
            longWordOnly = true;
        else if (a == "--loads")
            loadsOnly = true;
        else
            path = a;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    lorvane::TApplication app(argc, argv);
    const int samples = quick ? 20 : 200;
    if (!longWordOnly) {
        const bool made = path.empty();
        if (made) path = "/tmp/lorvane_bench_editor_view.txt";
        if (made || !std::ifstream(path)) Generate(path, quick ? 150000 : 1500000);
        const std::string longText = LongParagraph(quick ? 500000 : 5 * 1024 * 1024);
        {
            // Read once so that every load below finds the file in the page cache.
            std::ifstream warm(path, std::ios::binary);
            std::vector<char> sink(1 << 20);
            while (warm.read(sink.data(), static_cast<std::streamsize>(sink.size())))
                ;
        }
        // Five fresh loads each, taken in turns so that both sides meet the
        // same state of the machine; the last control of each goes on to the
        // other measures. Ours comes second in each turn, so that they
        // begin right after its load, with no event handled in between.
        std::vector<double> ours, theirs;
        std::unique_ptr<lorvane::RIzuvAzaz> memo;
        std::unique_ptr<QsciScintilla> sci;
        for (int i = 0; i < kLoads; ++i) {
            if (peer) {
                sci.reset();
                sci = FreshPeer();
                theirs.push_back(LoadPeer(*sci, path));
            }
            memo.reset();
            memo = FreshOurs();
            ours.push_back(LoadOurs(*memo, path));
        }
        for (std::size_t i = 0; i < ours.size(); ++i)
            Print(("first_paint_load" + std::to_string(i + 1) + "_ms").c_str(), ours[i]);
        PrintLoads("", ours);
        if (peer) PrintLoads("qsci_", theirs);
        if (loadsOnly) return 0;
        RunOurs(*memo, longText, samples);
        memo.reset();
        // The peer is slow per keystroke; fewer samples keep the run bounded.
        if (peer) RunPeer(*sci, longText, quick ? 5 : 25);
        sci.reset();
        if (made) std::remove(path.c_str());
    }
    const std::string longWord = LongWord(quick ? 500000 : 5 * 1024 * 1024);
    RunOursLongWord(longWord, samples);
    if (peer) RunPeerLongWord(longWord, quick ? 5 : 25);
    return 0;
}
