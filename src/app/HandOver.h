#pragma once
// Hands a file name from a second start of the program to the first
// through the current user's registry: the second start writes its command
// line to OpenFileLorvane\Parameter, value "Parameter"; the first takes it
// on an idle pass and opens the file. The search-in-files program leaves
// its requests the same way under OpenFileLorvane\Findorax.
#include <chrono>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lorvane {

// The command-line parameters (program name excluded) joined by single
// spaces, so that a file name the command line split at its spaces is one
// name again.
std::string JoinParameters(std::span<const std::string> parameters);
std::string JoinParameters(int argc, const char* const* argv);

// The file the command-line parameters name: joined, and a relative name
// made whole in this start's directory, since a first program handed the
// name resolves names in a directory of its own and the recent-files list
// keeps it for later starts from anywhere.
std::string HandOverName(std::span<const std::string> parameters);

// Several files travel as one name each, one per line: the hand-over value
// and the frame's command line hold one string. A value that names an
// existing file as a whole is that file, line breaks and all.
std::string JoinNames(std::span<const std::string> names);
std::vector<std::string> SplitNames(std::string_view value);

// Second start: stores the joined command line. Nothing is written when it
// is empty. False when the registry refused the write (the second start
// then ends all the same; nothing is shown to the user).
bool WriteHandOver(std::string_view commandLine);

// First start, on every idle pass: the waiting name, emptied so that it is
// opened once; empty when nothing waits. The value is written back only
// when it held something, so idle passes cost one read of the registry
// file and no write. Registry failures read as "nothing waits".
std::string TakeHandOver();

// The same for the search-in-files program's open request.
std::string TakeSearchProgramRequest();

// First start: empties the stored hand-over when it still holds `name`
// (whose start has also sent it over the instance socket), so that it is
// not taken a second time. Registry failures are ignored.
void ClearHandOverIf(std::string_view name);

// The files handed over to the first start, in the order they came, each
// once. A later start sends its name both ways: over the instance socket
// and, for other programs that read it, as the registry value. Names that
// come over the socket are the ones that count; the registry value adds
// only what no socket brought (a start that could not reach the socket),
// and a value taken from the registry before its socket message came
// answers for that message.
class HandOverQueue {
public:
    using Clock = std::chrono::steady_clock;

    // A name from the socket. True when the caller must empty the registry
    // value if it still holds this name.
    bool FromSocket(const std::string& name, Clock::time_point now = Clock::now());
    // A name taken (and emptied) from the registry value.
    void FromRegistry(const std::string& name, Clock::time_point now = Clock::now());
    // The next name to open, or nothing.
    std::optional<std::string> Next();

    // How long a name taken from the registry waits for its socket
    // message; a start sends it right after it writes the value.
    static constexpr std::chrono::seconds kPairing{30};

private:
    std::deque<std::string> waiting_;
    std::vector<std::pair<std::string, Clock::time_point>> takenFromRegistry_;
};

} // namespace lorvane
