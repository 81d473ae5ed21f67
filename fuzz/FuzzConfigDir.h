#pragma once
// A private configuration directory for a fuzz target: the files under test
// live there, and it is emptied before every input.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace lorvane::fuzz {

inline const std::string& ConfigDir() {
    // Never destroyed: the exit handler below still needs it.
    static const std::string& dir = *new std::string([] {
        // In memory where there is such a file system: every write syncs.
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "lorvane-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        ::setenv("LORVANE_CONFIG_HOME", pattern.c_str(), 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ConfigDir(), ignored);
        });
        return pattern;
    }());
    return dir;
}

inline void EmptyConfigDir() {
    for (const auto& entry : std::filesystem::directory_iterator(ConfigDir()))
        std::filesystem::remove_all(entry.path());
}

} // namespace lorvane::fuzz
