#pragma once
// What every benchmark program needs: wall-clock milliseconds, the resident
// memory, the "name value unit" line it prints, and for the frame's
// benchmarks a directory of their own.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace lorvane::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline long RssBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

inline void Print(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// A fresh directory for a frame benchmark, whose configuration and runtime
// directories it becomes, offscreen: nothing of the user's own
// configuration is read or written. The caller removes it at the end.
inline std::filesystem::path IsolatedRoot(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / (name + "-" + std::to_string(getpid()));
    fs::create_directories(root / "config");
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);
    ::setenv("LORVANE_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return root;
}

} // namespace lorvane::bench
