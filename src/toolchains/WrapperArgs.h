#pragma once
// The shipped tool-chain wrappers: each takes the one file name the editor
// gives a tool (plus fixed options from the profile) and builds the full
// argument list the real tool needs. Plain functions, so the rules are
// tested without starting anything; the wrappers' mains only run them.
#include <string>
#include <string_view>
#include <vector>

namespace lorvane::wrappers {

// argv for the real program, or the reason (in Russian, for the messages
// pane) why there is none.
struct Invocation {
    std::vector<std::string> argv;
    std::string error;
};

// The name with the extension of its last part (from the last dot)
// replaced by `extension`, as the editor derives its tools' file names.
std::string ReplaceExtension(std::string_view name, std::string_view extension);

// lorvane-nasm [NASM options] SOURCE: NASM writes the flat DOS program
// SOURCE.COM and the listing SOURCE.LST beside the source (".COM" and
// ".LST" replacing the source's extension), "-f bin" unless an option
// names a format.
Invocation NasmInvocation(const std::vector<std::string>& args);

// lorvane-bcc [bcc options] SOURCE: bcc compiles SOURCE as C into the DOS
// program SOURCE.COM beside it ("-Md" unless an option picks another
// model). bcc takes only a name ending in a lower-case ".c" as C and hands
// anything else, such as a DOS-style HELLO.C, to its linker; so it compiles
// `kBccStub`, a file of a private directory (its working directory, made
// by the wrapper) whose one line includes the source by its full name.
// The preprocessor then names the user's file in every message, and
// finds the file's own includes beside it. `exists` says whether SOURCE is
// a file; a relative name is taken inside `currentDirectory`.
struct BccRun {
    Invocation call;
    std::string stub; // the text of kBccStub
};
inline constexpr const char* kBccStub = "source.c";
BccRun BccInvocation(const std::vector<std::string>& args, bool exists,
                     std::string_view currentDirectory);

// A name DOS can use as it is: 1 to 8 characters, an optional dot and 1
// to 3 more, none of them a blank or one DOS refuses.
bool IsDosName(std::string_view name);

// lorvane-dosbox [--redirect=NAME] [--exit] PROGRAM: the DOS box mounts
// PROGRAM's directory as drive C: and runs it there, in code page 866;
// with --redirect its output goes to the file NAME in that directory; it
// waits for a key and closes, or closes at once with --exit. `exists` says
// whether PROGRAM is there.
Invocation DosboxInvocation(const std::vector<std::string>& args, bool exists);

} // namespace lorvane::wrappers
