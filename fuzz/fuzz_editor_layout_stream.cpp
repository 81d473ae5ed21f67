// LoadLayout on arbitrary bytes: it either raises an Error and leaves an
// empty valid text, or accepts the stream, which must then save back to the
// very same bytes and survive edits and undo.
#include "editor/model/FixedCellDevice.h"
#include "editor/model/RIzuvAzazModel.h"
#include "editor/model/RecordingHost.h"
#include "platform/Error.h"
#include "platform/Stream.h"

#include <cstdlib>
#include <string>

using namespace lorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FixedCellDevice device;
    RecordingHost host(96, 64);
    RIzuvAzazModel model;
    model.SetUpdateMode(umImmediate);
    model.SetDevice(&device);
    model.SetHost(&host);
    TStringStream in(bytes);
    try {
        model.LoadLayout(in, false);
    } catch (const Error&) {
        if (model.TextLength() != 0) std::abort();
        model.CheckConsistency();
        return 0;
    }
    model.CheckConsistency();
    TStringStream out;
    model.SaveLayout(out);
    if (out.DataString() != bytes) std::abort();
    const std::string before = model.Text();
    model.SetSelStart(model.TextLength() / 2);
    model.SetSelLength(3);
    model.Replace("x\r\ny");
    model.CheckConsistency();
    model.Undo();
    model.CheckConsistency();
    if (model.Text() != before) std::abort();
    return 0;
}
