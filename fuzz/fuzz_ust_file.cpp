// The .ust reader and writer: a file of arbitrary bytes either reads or is
// refused with an Error; what it reads writes (when Windows-1251 can hold
// it) and reads back the same; seven arbitrary lines that can be written
// read back the same, every one of them.
#include "FuzzConfigDir.h"
#include "app/UstFile.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

using namespace lorvane;

namespace {

void WritesAndReadsBack(const std::string& path, const UstLines& lines) {
    try {
        WriteUstFile(path, lines);
    } catch (const Error&) {
        return; // a line break, or a letter beyond Windows-1251
    }
    if (ReadUstFile(path) != lines) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::ConfigDir() + "/fuzz.ust";
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        UstLines lines;
        for (std::string& line : lines)
            line = in.ConsumeRandomLengthString(1100);
        WritesAndReadsBack(path, lines);
        return 0;
    }
    WriteFileAtomically(path, in.ConsumeRemainingBytesAsString());
    UstLines lines;
    try {
        lines = ReadUstFile(path);
    } catch (const Error&) {
        return 0;
    }
    WritesAndReadsBack(path, lines);
    return 0;
}
