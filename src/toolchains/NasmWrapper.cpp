// lorvane-nasm: the assembler of the NASM profile (see WrapperArgs.h).
#include "toolchains/WrapperMain.h"

int main(int argc, char** argv) {
    using namespace lorvane::wrappers;
    return BecomeTool("lorvane-nasm", NasmInvocation({argv + 1, argv + argc}));
}
