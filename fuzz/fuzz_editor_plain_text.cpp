// Plain-text loading accepts any bytes; the loaded text then takes a series
// of edits, undos and redos read from the input's first bytes, and stays
// consistent throughout.
#include "editor/model/FixedCellDevice.h"
#include "editor/model/RIzuvAzazModel.h"
#include "editor/model/RecordingHost.h"
#include "platform/Stream.h"

#include <cstdlib>
#include <string>

using namespace lorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses options, the next 32 script edits, the rest is the file.
    const std::uint8_t options = data[0];
    const std::size_t script = size > 33 ? 32 : size - 1;
    FixedCellDevice device;
    RecordingHost host(16 + 8 * (1 + options % 16), 64);
    RIzuvAzazModel model;
    model.SetUpdateMode(options & 0x10 ? umImmediate : umOnNeed);
    model.SetDevice(&device);
    model.SetHost(&host);
    if (options & 0x20) model.SetOptions(model.Options() | rzoDiscardTrailingSpaces);
    if (options & 0x40) model.SetNullReplacement(' ');
    model.SetStaticFormat((options & 0x80) == 0);
    TStringStream in(
        std::string(reinterpret_cast<const char*>(data) + 1 + script, size - 1 - script));
    model.LoadFromStream(in);
    model.CheckConsistency();

    static const char* const kTexts[] = {"",     "a",     "\r\n",      "\r",      "\n",
                                         "\x02", "ab cd", "\x01z\x01", "  \r\n\t"};
    for (std::size_t i = 0; i + 3 < script; i += 4) {
        const std::uint8_t* s = data + 1 + i;
        const std::int32_t length = model.TextLength();
        switch (s[0] % 4) {
        case 0:
        case 1:
            model.SetSelStart(length ? s[1] * 257 % (length + 1) : 0);
            model.SetSelLength(s[2] % 16 - 4);
            model.Replace(kTexts[s[3] % std::size(kTexts)]);
            break;
        case 2:
            model.Undo();
            break;
        default:
            model.Redo();
            break;
        }
        model.CheckConsistency();
    }
    TStringStream out;
    model.SaveToStream(out);
    return 0;
}
