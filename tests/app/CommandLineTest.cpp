// The command line: options and the words that name files. The installed
// program answering without a display is checked with the installed tree.
#include "app/CommandLine.h"
#include "app/HandOver.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lorvane {
namespace {

using Action = CommandLine::Action;
using Words = std::vector<std::string>;

TEST(CommandLine, OptionsEndAtTheDoubleDashAndUnknownOnesAreErrors) {
    struct Case {
        Words words;
        Action action;
        Words files;
        std::string unknown; // the word an error names
    } const cases[] = {
        {{"a.txt", "-x", "-"}, Action::Run, {"a.txt", "-x", "-"}, ""},
        {{"a.txt", "--version"}, Action::Version, {"a.txt"}, ""},
        {{"--version", "--bogus", "--help"}, Action::Help, {}, ""},
        {{"--", "--x", "--help", "--"}, Action::Run, {"--x", "--help", "--"}, ""},
        {{"a", "--Version", "--x"}, Action::Error, {"a"}, "--Version"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.words);
        EXPECT_EQ(line.action, c.action) << testing::PrintToString(c.words);
        EXPECT_EQ(line.files, c.files);
        // The word not known, and how to open a file of that name.
        EXPECT_EQ(line.error.find("«" + c.unknown + "»") != std::string::npos &&
                      line.error.find("lorvane -- " + c.unknown) != std::string::npos,
                  !c.unknown.empty())
            << line.error;
    }
}

TEST(CommandLine, WordsNameOneFileJoinedOrEachTheirOwn) {
    test::TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "my docs.txt", "my"})
        test::WriteFileBytes(dir.File(name), "x");
    const auto at = [&](const char* name) { return dir.File(name); };
    const struct {
        Words words, names;
    } cases[] = {
        {{"a.txt", "b.txt"}, {at("a.txt"), at("b.txt")}},
        // Joined they name a file: the split name wins over the word that
        // is a file by itself too.
        {{"my", "docs.txt"}, {at("my docs.txt")}},
        // A word names nothing: the whole line is the one name reported.
        {{"a.txt", "gone.txt"}, {at("a.txt gone.txt")}},
        {{""}, {}},
    };
    const auto startDirectory = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const auto& c : cases) {
        EXPECT_EQ(StartFiles(c.words), c.names) << testing::PrintToString(c.words);
        // They travel as one string and come back as they went.
        EXPECT_EQ(SplitNames(JoinNames(c.names)), c.names);
    }
    std::filesystem::current_path(startDirectory);
}

} // namespace
} // namespace lorvane
