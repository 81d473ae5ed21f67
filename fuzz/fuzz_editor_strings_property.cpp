// The "Strings" property reader on arbitrary bytes: an Error or a text that
// writes and reads back to itself.
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Error.h"
#include "platform/Stream.h"

#include <cstdlib>
#include <string>

using namespace lorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RIzuvAzazModel model;
    model.SetUpdateMode(umImmediate);
    TStringStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        model.ReadStringsProperty(in);
    } catch (const Error&) {
        model.CheckConsistency();
        return 0;
    }
    model.CheckConsistency();
    TStringStream out;
    model.WriteStringsProperty(out);
    RIzuvAzazModel back;
    out.SetPosition(0);
    back.ReadStringsProperty(out);
    if (back.Text() != model.Text()) std::abort();
    return 0;
}
