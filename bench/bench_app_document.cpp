// Benchmark of the frame's text commands on a huge document: prints
// "name value unit" lines. The text is a generated assembler-like program of
// about 100 MB and 1.5 million lines with Windows-1251 Cyrillic comments,
// tabs and runs of spaces, opened and worked on through the real frame with
// the real editor control, offscreen, with scripted dialogs. Pass a line
// count for a quicker run. Results that would be wrong end the run with an
// error instead of a figure. Beside each command's time it prints how long
// the event loop stood still meanwhile (a window that cannot repaint), the
// resident memory once the file is open and at the peak of opening, and the
// peer component opening and saving the same file.
#include "BenchSupport.h"
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/ErrorHandler.h"
#include "platform/ScriptedDialogs.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QFile>
#include <QToolButton>
#ifdef LORVANE_BENCH_PEER
#include <Qsci/qsciscintilla.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

using namespace lorvane;
using namespace lorvane::bench;

namespace {

int failures = 0;

// A wrong result is reported at once and fails the run at its end, so the
// remaining figures are still measured.
void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_app_document: FAILED: %s\n", what.c_str());
    ++failures;
}

const char kEndMarker[] = "zanzibar_marker";
const char kReplaced[] = "tmpvar";
const char kReplacement[] = "TEMP_VAR";

// Program-like lines: labels, mnemonics and operands apart by tabs or runs
// of spaces, most with a Russian comment; one line in 150 uses the word the
// replace-all changes, and only the last line holds the end marker.
std::string Generate(int lines) {
    static const char* const kWords[] = {
        "mov", "ax",  "bx",  "cx",     "dx",     "push",  "pop",        "call", "int",
        "21h", "cmp", "jmp", "offset", "buffer", "count", "loop_start", "0FFh", "[si+2]"};
    static const char* const kCyr[] = {"\xEF\xF0\xEE\xE2\xE5\xF0\xEA\xE0", // проверка
                                       "\xF1\xF7\xB8\xF2\xF7\xE8\xEA",     // счётчик
                                       "\xE1\xF3\xF4\xE5\xF0",             // буфер
                                       "\xD1\xF2\xF0\xEE\xEA\xE0",         // Строка
                                       "\xE7\xED\xE0\xF7\xE5\xED\xE8\xE5", // значение
                                       "\xC2\xFB\xF5\xEE\xE4"};            // Выход
    std::mt19937 rng(4242);
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 70);
    for (int n = 0; n < lines; ++n) {
        const unsigned kind = rng() % 10;
        if (kind != 0) {
            text.append(rng() % 3 == 0 ? "\t" : "        ");
            const int words = 3 + static_cast<int>(rng() % 5);
            for (int w = 0; w < words; ++w) {
                if (w == 1)
                    text.append(rng() % 2 ? "\t" : "   ");
                else if (w > 1)
                    text.append(", ");
                text.append(n % 150 == 7 && w == 2 ? kReplaced : kWords[rng() % std::size(kWords)]);
            }
            if (kind < 8) {
                text.append(rng() % 4 == 0 ? "\t; " : "            ; ");
                const int cw = 2 + static_cast<int>(rng() % 6);
                for (int w = 0; w < cw; ++w) {
                    if (w) text.push_back(' ');
                    text.append(kCyr[rng() % std::size(kCyr)]);
                }
            }
        }
        if (n == lines - 1) text.append(std::string(" ") + kEndMarker);
        text.append("\r\n");
    }
    return text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The longest stretch without the event loop running, over all commands
// timed so far, and within the one running now.
double maxStallMs = 0;
double stallMs = 0;
Clock::time_point lastAwake;

void WatchEventLoop() {
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [] {
        const auto now = Clock::now();
        stallMs = std::max(stallMs, Ms(now - lastAwake));
        lastAwake = now;
    });
}

// Processor time of the whole process: on a busy machine a steadier figure
// than the wall clock.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Times `step` and prints "<name>_ms", "<name>_stall_ms" and "<name>_cpu_ms".
template <typename F> void Timed(const std::string& name, F&& step) {
    const auto start = Clock::now();
    lastAwake = start;
    stallMs = 0;
    const double cpuBefore = CpuMs();
    step();
    const auto end = Clock::now();
    stallMs = std::max(stallMs, Ms(end - lastAwake));
    maxStallMs = std::max(maxStallMs, stallMs);
    Print((name + "_ms").c_str(), Ms(end - start), "ms");
    Print((name + "_stall_ms").c_str(), stallMs, "ms");
    Print((name + "_cpu_ms").c_str(), CpuMs() - cpuBefore, "ms");
}

// The peak resident memory, from the moment ResetPeak was called on.
void ResetPeak() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}
long PeakBytes() {
    long kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
        std::fclose(f);
    }
    return kb * 1024;
}

// What the save does besides writing: the old file kept as the backup, the
// new one written beside it, flushed and renamed over it.
void WriteWithBackup(const std::string& path, const char* bytes, std::size_t size) {
    namespace fs = std::filesystem;
    const std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes, 1, size, f) != size) Fail("the peer could not write");
    if (f != nullptr) {
        std::fflush(f);
        ::fsync(fileno(f));
        std::fclose(f);
    }
    fs::copy_file(path, path + ".BAK", fs::copy_options::overwrite_existing);
    fs::rename(temp, path);
}

#ifdef LORVANE_BENCH_PEER
// The peer component opening the same file (up to its first paint) and
// saving it the same way.
void RunPeer(const std::string& path, const std::string& original) {
    QsciScintilla sci;
    sci.setUtf8(false);
    sci.setFont(QFont("DejaVu Sans Mono", 10));
    sci.resize(800, 600);
    sci.show();
    QCoreApplication::processEvents();
    const auto t0 = Clock::now();
    {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly)) Fail("the peer could not open the file");
        const QByteArray bytes = f.readAll();
        sci.SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
    }
    sci.viewport()->repaint();
    Print("qsci_open_ms", Ms(Clock::now() - t0), "ms");
    const auto t1 = Clock::now();
    const auto length =
        static_cast<std::size_t>(sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto* text = reinterpret_cast<const char*>(
        sci.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    WriteWithBackup(path, text, length);
    Print("qsci_save_ms", Ms(Clock::now() - t1), "ms");
    if (ReadFile(path) != original) Fail("the peer's save differs from what it loaded");
}
#endif

} // namespace

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1500000;
    if (lines < 200) {
        std::fprintf(stderr, "bench_app_document: the line count must be at least 200\n");
        return 2;
    }
    const std::filesystem::path root = IsolatedRoot("lorvane-bench-doc");
    const std::string path = (root / "PROG.ASM").string();
    {
        const std::string original = Generate(lines);
        {
            std::ofstream out(path, std::ios::binary);
            out.write(original.data(), static_cast<std::streamsize>(original.size()));
        }
        const double size = static_cast<double>(original.size());
        Print("file_mb", size / 1e6, "MB");
        Print("lines", lines, "count");

        TApplication app(argc, argv);
        ScriptedDialogs dialogs;
        TMainFormLorvane frame(DocumentEditors(), {});
        frame.show();
        QCoreApplication::processEvents();
        WatchEventLoop();
        // The generated text and everything else the run holds so far
        // count as the base, so the figures are what opening added.
        const long rssBefore = RssBytes();
        ResetPeak();
        TMDIChild* window = nullptr;
        Timed("open", [&] {
            frame.FileOpenAll(path);
            window = frame.ActiveChild();
            if (window != nullptr) window->Memo1().Widget()->repaint();
        });
        Print("rss_over_file", static_cast<double>(RssBytes() - rssBefore) / size, "ratio");
        Print("rss_peak_over_file", static_cast<double>(PeakBytes() - rssBefore) / size, "ratio");
        if (window == nullptr) {
            Fail("the file did not open");
            return 1;
        }
        TDocumentEditor& editor = window->Memo1();
        if (editor.Text() != original) Fail("the opened text differs from the file");

        // Nothing changed, but marked modified so the save writes (and
        // takes the backup).
        editor.SetModified(true);
        Timed("save", [&] { frame.FileSaveItemClick(); });
        if (ReadFile(path) != original) Fail("the saved file differs from what was loaded");
        if (editor.Modified()) Fail("the document is still modified after saving");

        QToolButton* dos = frame.Button("SpeedButton15");
        QToolButton* koi8 = frame.Button("SpeedButton16");
        Timed("dos_on", [&] { dos->click(); });
        if (window->DosMode != 1) Fail("the DOS mode did not come on");
        Timed("dos_off", [&] { dos->click(); });
        if (window->DosMode != 0) Fail("the DOS mode did not go off");
        if (editor.Text() != original) Fail("DOS on and off changed the text");
        if (editor.Modified()) Fail("the DOS mode switch marked the document modified");
        Timed("koi8_on", [&] { koi8->click(); });
        Timed("koi8_off", [&] { koi8->click(); });
        if (editor.Text() != original) Fail("KOI8 on and off changed the text");

        Timed("tabs_to_spaces", [&] { frame.N01Click(); });
        std::string text = editor.Text();
        if (text.find('\t') != std::string::npos) Fail("a tab is left after tabs to spaces");
        Timed("spaces_to_tabs", [&] { frame.N91Click(); });
        text = editor.Text();
        if (text.find("  ") != std::string::npos)
            Fail("a run of spaces is left after spaces to tabs");

        editor.SetSelStart(0);
        FindOptions find;
        find.findText = kEndMarker;
        frame.Search1Click();
        Timed("find_end", [&] { dialogs.PressFind(find); });
        if (editor.SelText() != kEndMarker) Fail("the find did not select the marker at the end");
        if (!dialogs.RequestsOf(DialogKind::MessageBox).empty()) Fail("the find reported a miss");

        const auto count = [](const std::string& s, const std::string& what) {
            std::size_t n = 0;
            for (auto at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
                ++n;
            return n;
        };
        text = editor.Text();
        const std::size_t matches = count(text, kReplaced);
        Print("replace_matches", static_cast<double>(matches), "count");
        editor.SetSelStart(0);
        FindOptions replace;
        replace.findText = kReplaced;
        replace.replaceText = kReplacement;
        frame.Replace2Click();
        Timed("replace_all", [&] { dialogs.PressReplaceAll(replace); });
        text = editor.Text();
        if (count(text, kReplaced) != 0 || count(text, kReplacement) != matches)
            Fail("replace-all did not replace every match exactly once");
        if (!dialogs.Errors().empty())
            Fail("a dialog nobody scripted: " + dialogs.Errors().front());

        // The printer's path up to the painter: every line of the view
        // collected, the painting itself left out.
        std::size_t printed = 0;
        frame.SetLinePrinter([&](QPrinter&, const LogicalFont&,
                                 const std::vector<std::string>& all) { printed = all.size(); });
        dialogs.AnswerPrint(true);
        Timed("print_lines", [&] { frame.N7Click(); });
        if (printed < static_cast<std::size_t>(lines)) Fail("printing left lines out");

        // The same text as Linux keeps it: LF breaks, then UTF-8 as well.
        // Both open like the CR LF file and save back byte for byte.
        for (const bool utf8 : {false, true}) {
            std::string bytes;
            bytes.reserve(original.size());
            for (std::size_t at = 0; at < original.size(); ++at)
                if (original.compare(at, 2, "\r\n") != 0) bytes += original[at];
            if (utf8) bytes = cp::DecodeToUtf8(cp::CodePage::Win1251, bytes);
            const std::string file = (root / (utf8 ? "UTF8.ASM" : "LF.ASM")).string();
            {
                std::ofstream out(file, std::ios::binary);
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            }
            Timed(utf8 ? "open_utf8" : "open_lf", [&] { frame.FileOpenAll(file); });
            TMDIChild* opened = frame.ActiveChild();
            if (opened == nullptr || opened->Document.form.utf8 != utf8 ||
                opened->Document.form.breaks != TBreakStyle::LF) {
                Fail("the LF or UTF-8 file did not open in its own form");
                continue;
            }
            opened->Memo1().SetModified(true);
            Timed(utf8 ? "save_utf8" : "save_lf", [&] { frame.FileSaveItemClick(); });
            if (ReadFile(file) != bytes) Fail("the LF or UTF-8 file did not save back as it was");
        }

        Print("max_stall_ms", maxStallMs, "ms");
        for (TMDIChild* child : frame.Children())
            child->Memo1().SetModified(false);
#ifdef LORVANE_BENCH_PEER
        RunPeer(path, original);
#endif
    }
    std::filesystem::remove_all(root);
    return failures == 0 ? 0 : 1;
}
