#pragma once
// What the wrappers' mains do: build the real tool's arguments, say why
// when there are none, and become the tool (so its exit status is theirs,
// and stopping the wrapper stops the tool).
#include "toolchains/WrapperArgs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane::wrappers {

// Whether the last argument, the file the tool works on, is one.
inline bool LastIsFile(const std::vector<std::string>& args) {
    struct stat info {};
    return !args.empty() && ::stat(args.back().c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

inline int BecomeTool(const char* self, const Invocation& call) {
    if (call.argv.empty()) {
        std::fprintf(stderr, "%s: %s\n", self, call.error.c_str());
        return 2;
    }
    std::vector<char*> argv;
    for (const std::string& arg : call.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::fflush(stdout);
    ::execvp(argv[0], argv.data());
    std::fprintf(stderr, "%s: %s не запускается: %s (установите пакет %s)\n", self, argv[0],
                 std::strerror(errno), argv[0]);
    return 127;
}

} // namespace lorvane::wrappers
