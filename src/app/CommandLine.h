#pragma once
// What the program's command line asks for. It is read before any window,
// setting or lock exists, so --help and --version answer on a terminal
// without a display and leave the settings and the recent-files list alone.
#include <span>
#include <string>
#include <vector>

namespace lorvane {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The file words in order, the options and the "--" that ends them left out.
    std::vector<std::string> files;
    // For Error: what to tell the user.
    std::string error;
};

// `arguments` without the program's name. Words beginning with "--" are
// options up to a lone "--"; everything after it is a file name.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

// The usage text (Russian, UTF-8) and the version line.
std::string UsageText();
std::string VersionText();

// The files a start opens, made absolute in the current directory. Words
// that joined by single spaces name an existing file are that one file (a
// name with blanks that a shell or a launcher split); otherwise, when every
// word names an existing file, each is its own; otherwise they are joined
// again, so the one missing name is what the error names.
std::vector<std::string> StartFiles(std::span<const std::string> files);

} // namespace lorvane
