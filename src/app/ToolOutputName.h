#pragma once
// Where a tool really put its output. The listing, object and built-program
// names are the source's name with the configured extension (".LST", as
// tool settings of DOS times spell it), but a tool on this system may write
// "prog.lst": the file system tells case apart, so the configured name is
// not found.
#include <string>

namespace lorvane {

// `computed` when that file exists; else a file beside it whose name
// differs only in the case of the extension (of several, the first in
// byte order), never the source itself; else `computed`.
std::string ToolOutputFile(const std::string& computed, const std::string& source);

// Deletes `computed` and every file whose name differs from it only in the
// case of the extension, so no old output is taken for a new one; the
// source is never among them.
void RemoveToolOutputs(const std::string& computed, const std::string& source);

} // namespace lorvane
