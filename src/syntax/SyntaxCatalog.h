#pragma once
// The languages the program knows: every "*.lang" vocabulary file of the
// shipped data and of the user's own directory, so that a language or a
// keyword can be added without building the program.
#include "syntax/Syntax.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

class TSyntaxCatalog {
public:
    static constexpr std::string_view kFileExtension = ".lang";

    // Reads the directories in order (a missing one is skipped); a file of
    // the same name in a later directory replaces the earlier one. A file
    // with a mistake is left out and its error kept; the others still load.
    static TSyntaxCatalog Load(const std::vector<std::string>& directories);
    // The shipped "highlight" data directory, then "highlight" in the
    // configuration directory.
    static TSyntaxCatalog LoadInstalled();

    // The language for an upper-case extension with its dot; when two files
    // claim it, the one whose name sorts later wins. Null when none does.
    std::shared_ptr<const TSyntax> ForExtension(std::string_view upperExtension) const;
    const std::vector<std::shared_ptr<const TSyntax>>& Languages() const noexcept {
        return languages_;
    }
    const std::vector<std::string>& Errors() const noexcept { return errors_; }

private:
    std::vector<std::shared_ptr<const TSyntax>> languages_;
    std::vector<std::string> errors_;
};

} // namespace lorvane
