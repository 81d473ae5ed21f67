// Test helper: records how it was started. Writes to the file named by its
// first argument the current directory, the value of LORVANE_PROBE and
// every further argument, each ended by a NUL byte; then exits with the
// code in LORVANE_HELPER_EXIT (0 when unset). LORVANE_HELPER_DELAY_MS
// delays the writing, to see that a start did not wait.
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) return 100;
    if (const char* delay = std::getenv("LORVANE_HELPER_DELAY_MS"))
        ::usleep(static_cast<useconds_t>(std::atoi(delay)) * 1000);
    char cwd[4096] = {};
    if (!::getcwd(cwd, sizeof cwd)) return 101;
    std::string out = std::string("cwd=") + cwd + '\0';
    const char* probe = std::getenv("LORVANE_PROBE");
    out += std::string("probe=") + (probe ? probe : "") + '\0';
    for (int i = 2; i < argc; ++i)
        out += std::string(argv[i]) + '\0';
    // Count the descriptors that reached us beyond the standard three.
    int extra = 0;
    for (int fd = 3; fd < 256; ++fd)
        if (::fcntl(fd, F_GETFD) >= 0) ++extra;
    out += "fds=" + std::to_string(extra) + '\0';
    const std::string tmp = std::string(argv[1]) + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return 102;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    std::rename(tmp.c_str(), argv[1]);
    const char* code = std::getenv("LORVANE_HELPER_EXIT");
    return code ? std::atoi(code) : 0;
}
