#pragma once
// The search-in-files program leaves the file it last asked us to open in
// its own "FINDORAX.INI" (section "Load", key "FileName"); at the first
// activation the editor takes that name and empties it so the program
// does not ask again.
#include <string>
#include <string_view>

namespace lorvane {

// Returns the stored name, or `defaultName` when none is stored, and
// empties the stored value. The file is written only when it held a name,
// so a missing file is not created; a refused write is ignored, since the
// file belongs to the other program and the editor needs nothing from it.
std::string TakeFindoraxLoadName(std::string_view defaultName);

} // namespace lorvane
