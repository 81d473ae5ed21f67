// lorvane-dosbox: the run program of the DOS profiles (see WrapperArgs.h).
#include "toolchains/WrapperMain.h"

#include <sys/stat.h>

int main(int argc, char** argv) {
    using namespace lorvane::wrappers;
    const std::vector<std::string> args(argv + 1, argv + argc);
    struct stat info {};
    const bool exists =
        !args.empty() && ::stat(args.back().c_str(), &info) == 0 && S_ISREG(info.st_mode);
    return BecomeTool("lorvane-dosbox", DosboxInvocation(args, exists));
}
