// A registry file of arbitrary bytes, then one value written through the
// registry: the value reads back as written, and every value that could be
// read before reads as before (unless it is the one written).
#include "FuzzConfigDir.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/Registry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <map>
#include <string>

using namespace lorvane;

namespace {

struct Stored {
    RegDataType type = RegDataType::None;
    std::string data;
    bool operator==(const Stored&) const = default;
};
using Snapshot = std::map<std::pair<std::string, std::string>, Stored>;

// A value the reader refuses (an integer of the wrong length, say) is
// compared by its type and the refusal.
Stored ReadValue(TRegistry& reg, const std::string& name) {
    Stored v{reg.GetDataType(name), {}};
    try {
        if (v.type == RegDataType::String || v.type == RegDataType::ExpandString) {
            v.data = reg.ReadString(name);
        } else if (v.type == RegDataType::Integer) {
            v.data = std::to_string(reg.ReadInteger(name));
        } else if (v.type == RegDataType::Binary) {
            const auto bytes = reg.ReadBinaryData(name);
            v.data.assign(bytes.begin(), bytes.end());
        }
    } catch (const Error&) {
        v.data = "\x01refused";
    }
    return v;
}

void Collect(const std::string& path, Snapshot& out, int depth) {
    TRegistry reg;
    if (!reg.OpenKey("\\" + path, false)) std::abort(); // listed, so it exists
    for (const std::string& name : reg.GetValueNames())
        out[{path, name}] = ReadValue(reg, name);
    if (depth > 64) return;
    for (const std::string& child : reg.GetKeyNames())
        Collect(path.empty() ? child : path + "\\" + child, out, depth + 1);
}

Snapshot Take() {
    Snapshot s;
    Collect("", s, 0);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ConfigDir();
    fuzz::EmptyConfigDir();
    FuzzedDataProvider in(data, size);
    const std::string key = in.ConsumeRandomLengthString(40);
    const std::string name = in.ConsumeRandomLengthString(20);
    const int kind = in.ConsumeIntegralInRange(0, 2);
    const std::string value = in.ConsumeRandomLengthString(64);
    TRegistry file;
    WriteFileAtomically(file.FileName(), in.ConsumeRemainingBytesAsString());

    const Snapshot before = Take();
    TRegistry writer;
    Stored written;
    try {
        if (!writer.OpenKey(key, true)) std::abort();
        if (kind == 0) {
            writer.WriteString(name, value);
            written = {RegDataType::String, value};
        } else if (kind == 1) {
            const auto n = static_cast<std::int32_t>(std::hash<std::string>{}(value));
            writer.WriteInteger(name, n);
            written = {RegDataType::Integer, std::to_string(n)};
        } else {
            writer.WriteBinaryData(name, value.data(), value.size());
            written = {RegDataType::Binary, value};
        }
    } catch (const Error&) {
        if (Take() != before) std::abort(); // a refused write changes nothing
        return 0;
    }
    TRegistry reader;
    if (!reader.OpenKey("\\" + writer.CurrentPath(), false)) std::abort();
    if (!(ReadValue(reader, name) == written)) std::abort();
    // Every other value reads as before; a new one is only the one written.
    const Snapshot after = Take();
    for (const auto& [where, old] : before) {
        TRegistry r;
        if (!r.OpenKey("\\" + where.first, false)) std::abort();
        const Stored now = ReadValue(r, where.second);
        if (!(now == old) && !(r.CurrentPath() == writer.CurrentPath() && now == written))
            std::abort();
    }
    for (const auto& [where, now] : after)
        if (!before.count(where) && !(where.first == writer.CurrentPath() && now == written))
            std::abort();
    if (after.size() > before.size() + 1) std::abort();
    return 0;
}
