#include "app/FindoraxIni.h"

#include "platform/ProfileFile.h"

namespace lorvane {

std::string TakeFindoraxLoadName(std::string_view defaultName) {
    ProfileFile file("FINDORAX.INI");
    std::string name = file.ReadString("Load", "FileName", "");
    if (name.empty()) return std::string(defaultName);
    try {
        file.WriteString("Load", "FileName", "");
    } catch (const std::exception&) {
    }
    return name;
}

} // namespace lorvane
