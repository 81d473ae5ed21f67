// lorvane-dosbox: the run program of the DOS profiles (see WrapperArgs.h).
#include "toolchains/WrapperMain.h"

int main(int argc, char** argv) {
    using namespace lorvane::wrappers;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return BecomeTool("lorvane-dosbox", DosboxInvocation(args, LastIsFile(args)));
}
