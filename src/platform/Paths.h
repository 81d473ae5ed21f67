#pragma once
// Where the program keeps its files. The configuration directory holds the
// settings INI files and the registry files; the runtime directory holds the
// instance lock and the local sockets. Both are created on demand, and both
// honour the environment on every call, so tests can point them elsewhere.
#include <string>
#include <string_view>

namespace lorvane::paths {

// $LORVANE_CONFIG_HOME, else $XDG_CONFIG_HOME/lorvane, else ~/.config/lorvane.
// Created (mode 0700) when missing; a directory that cannot be created is
// still returned, so that the failure shows up, with its errno, at the first
// write into it.
std::string ConfigDirectory();

// $XDG_RUNTIME_DIR/lorvane (created 0700) when both are directories of this
// user closed to everyone else, else "run" in the configuration directory
// (created 0700, checked likewise); a runtime directory refused is reported
// once on the error stream. Empty when no private directory can be had: the
// program then runs without its instance lock and sockets.
std::string RuntimeDirectory();

// A name without a directory part resolves in the configuration directory;
// anything with a "/" in it is returned as it is.
std::string ResolveBareName(std::string_view name);

// The program's shipped data (help page, tool-chain profiles and their
// wrappers, highlighting vocabularies): $LORVANE_DATA_DIR when set, else
// share/lorvane beside an installed program (<bin>/../share/lorvane), else
// share/lorvane in the build tree (<bin>/share/lorvane). The first of these
// that is a directory wins; empty when none is.
std::string DataDirectory();

// `relative` inside the data directory; empty when there is no data
// directory or nothing of that name in it.
std::string DataFile(std::string_view relative);

// The directory of the running program (from /proc/self/exe); empty when
// it cannot be read.
std::string ProgramDirectory();

// Joins a directory and a name with exactly one "/".
std::string Join(std::string_view directory, std::string_view name);

} // namespace lorvane::paths
