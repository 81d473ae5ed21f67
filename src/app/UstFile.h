#pragma once
// The ".ust" files of the working-settings dialog: seven build-tool settings,
// one a line, so that several tool chains can be kept and swapped.
#include <array>
#include <string>

namespace lorvane {

// The lines of a ".ust" file, in file order: compiler, linker, run program,
// source, object, built-program and listing extension (UTF-8 here,
// Windows-1251 on disk).
using UstLines = std::array<std::string, 7>;

// Seven lines, each ended by CR LF, written over `path` through a temporary
// file. Raises IoError; an old file stays as it was then.
void WriteUstFile(const std::string& path, const UstLines& lines);
// Up to seven lines (CR LF, LF or CR ended; the last may lack its end);
// missing ones are empty, further ones ignored. Read as Windows-1251, but a
// file made by hand (not seven CR LF lines) whose letters beyond ASCII are
// well-formed UTF-8 is taken as UTF-8. Raises IoError, and Error for a line
// longer than the settings file gives back.
UstLines ReadUstFile(const std::string& path);

} // namespace lorvane
