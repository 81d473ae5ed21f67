// Benchmark of the frame's text commands on a huge document: prints
// "name value unit" lines. The text is a generated assembler-like program of
// about 100 MB and 1.5 million lines with Windows-1251 Cyrillic comments,
// tabs and runs of spaces, opened and worked on through the real frame with
// the real editor control, offscreen, with scripted dialogs. Pass a line
// count for a quicker run. Results that would be wrong end the run with an
// error instead of a figure.
#include "BenchSupport.h"
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/ErrorHandler.h"
#include "platform/ScriptedDialogs.h"

#include <QAction>
#include <QToolButton>

#include <chrono>
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

template <typename F> double Time(F&& step) {
    const auto start = Clock::now();
    step();
    return Ms(Clock::now() - start);
}

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
        const long rssBefore = RssBytes();

        Print("open_ms", Time([&] { frame.FileOpenAll(path); }), "ms");
        Print("rss_over_file", static_cast<double>(RssBytes() - rssBefore) / size, "ratio");
        TMDIChild* window = frame.ActiveChild();
        if (window == nullptr) {
            Fail("the file did not open");
            return 1;
        }
        TDocumentEditor& editor = window->Memo1();
        if (editor.Text() != original) Fail("the opened text differs from the file");

        // Nothing changed, but marked modified so the save writes (and
        // takes the backup).
        editor.SetModified(true);
        Print("save_ms", Time([&] { frame.FileSaveItemClick(); }), "ms");
        if (ReadFile(path) != original) Fail("the saved file differs from what was loaded");
        if (editor.Modified()) Fail("the document is still modified after saving");

        QToolButton* dos = frame.Button("SpeedButton15");
        QToolButton* koi8 = frame.Button("SpeedButton16");
        Print("dos_on_ms", Time([&] { dos->click(); }), "ms");
        if (window->DosMode != 1) Fail("the DOS mode did not come on");
        Print("dos_off_ms", Time([&] { dos->click(); }), "ms");
        if (window->DosMode != 0) Fail("the DOS mode did not go off");
        if (editor.Text() != original) Fail("DOS on and off changed the text");
        if (editor.Modified()) Fail("the DOS mode switch marked the document modified");
        Print("koi8_on_ms", Time([&] { koi8->click(); }), "ms");
        Print("koi8_off_ms", Time([&] { koi8->click(); }), "ms");
        if (editor.Text() != original) Fail("KOI8 on and off changed the text");

        Print("tabs_to_spaces_ms", Time([&] { frame.N01Click(); }), "ms");
        std::string text = editor.Text();
        if (text.find('\t') != std::string::npos) Fail("a tab is left after tabs to spaces");
        Print("spaces_to_tabs_ms", Time([&] { frame.N91Click(); }), "ms");
        text = editor.Text();
        if (text.find("  ") != std::string::npos)
            Fail("a run of spaces is left after spaces to tabs");

        editor.SetSelStart(0);
        FindOptions find;
        find.findText = kEndMarker;
        frame.Search1Click();
        Print("find_end_ms", Time([&] { dialogs.PressFind(find); }), "ms");
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
        Print("replace_all_ms", Time([&] { dialogs.PressReplaceAll(replace); }), "ms");
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
        Print("print_lines_ms", Time([&] { frame.N7Click(); }), "ms");
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
            Print(utf8 ? "open_utf8_ms" : "open_lf_ms", Time([&] { frame.FileOpenAll(file); }),
                  "ms");
            TMDIChild* opened = frame.ActiveChild();
            if (opened == nullptr || opened->Document.form.utf8 != utf8 ||
                opened->Document.form.breaks != TBreakStyle::LF) {
                Fail("the LF or UTF-8 file did not open in its own form");
                continue;
            }
            opened->Memo1().SetModified(true);
            Print(utf8 ? "save_utf8_ms" : "save_lf_ms", Time([&] { frame.FileSaveItemClick(); }),
                  "ms");
            if (ReadFile(file) != bytes) Fail("the LF or UTF-8 file did not save back as it was");
        }

        for (TMDIChild* child : frame.Children())
            child->Memo1().SetModified(false);
    }
    std::filesystem::remove_all(root);
    return failures == 0 ? 0 : 1;
}
