// Benchmark of the editor's text model: prints "name value unit" lines.
// The text is a generated program-like file of about 100 MB and 1.5 million
// lines with Windows-1251 Cyrillic comments, measured with a fixed-cell
// device and word wrap at 800 pixels. Pass a file name to use another file.
#include "BenchSupport.h"
#include "editor/model/FixedCellDevice.h"
#include "editor/model/RIzuvAzazModel.h"
#include "editor/model/RecordingHost.h"
#include "platform/Stream.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace lorvane;
using namespace lorvane::bench;

namespace {

double Us(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

const char kMarker[] = "zanzibar_marker";

// About 100 MB of assembler- and C-like lines with Cyrillic comments.
std::int64_t Generate(const std::string& path) {
    static const char* const kWords[] = {
        "mov",        "ax",  "bx",     "cx",     "dx",     "push",  "pop",   "call",
        "int",        "21h", "offset", "buffer", "count",  "if",    "while", "return",
        "i",          "j",   "value",  "result", "struct", "proc",  "endp",  "jmp",
        "loop_start", "cmp", "0",      "1",      "0FFh",   "[si+2]"};
    static const char* const kCyr[] = {"\xEF\xF0\xEE\xE2\xE5\xF0\xEA\xE0",
                                       "\xF1\xF7\xB8\xF2\xF7\xE8\xEA",
                                       "\xE1\xF3\xF4\xE5\xF0",
                                       "\xD1\xF2\xF0\xEE\xEA\xE0",
                                       "\xE7\xED\xE0\xF7\xE5\xED\xE8\xE5",
                                       "\xC2\xFB\xF5\xEE\xE4"};
    std::mt19937 rng(12345);
    std::ofstream out(path, std::ios::binary);
    std::string chunk;
    std::int64_t total = 0;
    const int lines = 1500000;
    for (int n = 0; n < lines; ++n) {
        std::string line;
        const unsigned kind = rng() % 10;
        if (kind == 0) {
            // blank line
        } else {
            line.append(rng() % 3 == 0 ? "\t\t" : "        ");
            const int words = 4 + static_cast<int>(rng() % 8);
            for (int w = 0; w < words; ++w) {
                if (w) line.push_back(w == 1 ? '\t' : ' ');
                line.append(kWords[rng() % std::size(kWords)]);
                if (w > 0 && rng() % 4 == 0) line.push_back(',');
            }
            if (kind < 8) {
                line.append("\t; ");
                const int cw = 2 + static_cast<int>(rng() % 7);
                for (int w = 0; w < cw; ++w) {
                    if (w) line.push_back(' ');
                    line.append(kCyr[rng() % std::size(kCyr)]);
                }
            }
        }
        if (n == lines - 1000) line.append(std::string(" ") + kMarker);
        line.append("\r\n");
        chunk += line;
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            total += static_cast<std::int64_t>(chunk.size());
            chunk.clear();
        }
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    total += static_cast<std::int64_t>(chunk.size());
    return total;
}

template <typename F> double MedianUs(int runs, F&& each) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i)
        times.push_back(each());
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

double CpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
            static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3);
}

} // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "/tmp/lorvane-bench-editor-model.txt";
    std::int64_t size;
    if (argc > 1) {
        TFileStream probe(path, TFileStream::OpenRead);
        size = probe.Size();
    } else {
        size = Generate(path);
    }

    FixedCellDevice device(8, 16);
    RecordingHost host(800 + 16, 600); // 800 pixels between the two margins
    auto model = std::make_unique<RIzuvAzazModel>();
    RIzuvAzazModel& m = *model;
    m.SetUpdateMode(umOnNeed);
    m.SetDevice(&device);
    m.SetHost(&host);

    auto t0 = Clock::now();
    double c0 = CpuMs();
    {
        TFileStream in(path, TFileStream::OpenRead);
        m.LoadFromStream(in);
    }
    const double loadMs = Ms(Clock::now() - t0);
    const double loadCpuMs = CpuMs() - c0;
    const long rssAfterLoad = RssBytes();
    Print("file_mb", static_cast<double>(size) / 1e6, "MB");
    Print("paragraphs", m.ParagraphCount(), "count");
    Print("load_ms", loadMs, "ms");
    Print("load_cpu_ms", loadCpuMs, "ms");
    if (std::getenv("BENCH_LOAD_ONLY")) return 0;
    Print("rss_over_file", static_cast<double>(rssAfterLoad) / static_cast<double>(size), "ratio");

    // Every display line read in order through the line view right after
    // loading, laying the text out on the way (printing, whole-text
    // commands): must stay linear in the number of lines.
    t0 = Clock::now();
    std::size_t lineBytes = 0;
    for (std::int32_t line = 0; line < m.LineCount(); ++line)
        lineBytes += m.DisplayLineText(line).size();
    Print("read_all_lines_ms", Ms(Clock::now() - t0), "ms");
    if (lineBytes == 0) std::fprintf(stderr, "no lines read\n");

    t0 = Clock::now();
    c0 = CpuMs();
    m.LayoutRange(0, m.ParagraphCount() - 1, true);
    Print("layout_all_ms", Ms(Clock::now() - t0), "ms");
    Print("layout_all_cpu_ms", CpuMs() - c0, "ms");
    Print("display_lines", m.LineCount(), "count");
    Print("rss_after_layout_over_file", static_cast<double>(RssBytes()) / static_cast<double>(size),
          "ratio");
    m.SetUpdateMode(umBackground);

    auto insertAt = [&](std::int32_t paragraph) {
        m.SetSelStart(m.ParagraphStart(paragraph) + 4);
        return MedianUs(1000, [&] {
            const auto s = Clock::now();
            m.Replace("x");
            return Us(Clock::now() - s);
        });
    };
    Print("insert_mid_us", insertAt(m.ParagraphCount() / 2), "us");
    Print("insert_start_us", insertAt(0), "us");

    const std::int32_t mid = m.ParagraphStart(m.ParagraphCount() / 3) + 2;
    Print("undo_us",
          MedianUs(1000,
                   [&] {
                       m.SetSelStart(mid);
                       m.Replace("y");
                       const auto s = Clock::now();
                       m.Undo();
                       return Us(Clock::now() - s);
                   }),
          "us");
    Print("enter_mid_us",
          MedianUs(20,
                   [&] {
                       m.SetSelStart(mid);
                       const auto s = Clock::now();
                       m.Replace("\r\n");
                       return Us(Clock::now() - s);
                   }),
          "us");

    m.SetSelStart(0);
    t0 = Clock::now();
    c0 = CpuMs();
    const bool found = m.FindText(kMarker, true, true, false);
    const double findCase = Ms(Clock::now() - t0);
    const double findCaseCpu = CpuMs() - c0;
    m.SetSelStart(0);
    t0 = Clock::now();
    const bool foundNoCase = m.FindText(kMarker, true, false, false);
    const double findNoCase = Ms(Clock::now() - t0);
    if (!found || !foundNoCase) std::fprintf(stderr, "marker not found\n");
    Print("find_end_ms", std::max(findCase, findNoCase), "ms");
    Print("find_end_match_case_ms", findCase, "ms");
    Print("find_end_ignore_case_ms", findNoCase, "ms");
    Print("find_end_match_case_cpu_ms", findCaseCpu, "ms");
    Print("find_gb_per_s", static_cast<double>(size) / 1e9 / (std::max(findCase, findNoCase) / 1e3),
          "GB/s");

    const std::string savePath = path + ".saved";
    t0 = Clock::now();
    {
        TFileStream out(savePath, TFileStream::Create);
        m.SaveToStream(out);
    }
    Print("save_ms", Ms(Clock::now() - t0), "ms");
    std::remove(savePath.c_str());
    if (argc <= 1) std::remove(path.c_str());
    return 0;
}
