#include "syntax/SyntaxCatalog.h"

#include "platform/Paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

namespace lorvane {

TSyntaxCatalog TSyntaxCatalog::Load(const std::vector<std::string>& directories) {
    namespace fs = std::filesystem;
    // By file name, so a user's file of the same name takes the shipped one's place.
    std::map<std::string, fs::path> files;
    for (const std::string& directory : directories) {
        std::error_code error;
        if (directory.empty() || !fs::is_directory(directory, error)) continue;
        for (fs::directory_iterator it(directory, error), end; !error && it != end;
             it.increment(error)) {
            const fs::path& path = it->path();
            if (path.extension() == kFileExtension && it->is_regular_file(error))
                files[path.filename().string()] = path;
        }
    }
    TSyntaxCatalog catalog;
    for (const auto& [name, path] : files) {
        std::ifstream in(path, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        if (!in && !in.eof()) {
            catalog.errors_.push_back("Файл подсветки " + path.string() + " не читается");
            continue;
        }
        try {
            catalog.languages_.push_back(
                std::make_shared<const TSyntax>(ParseSyntax(text, path.string())));
        } catch (const std::exception& error) {
            catalog.errors_.emplace_back(error.what());
        }
    }
    return catalog;
}

TSyntaxCatalog TSyntaxCatalog::LoadInstalled() {
    const std::string shipped = paths::DataDirectory();
    return Load({shipped.empty() ? std::string() : paths::Join(shipped, "highlight"),
                 paths::Join(paths::ConfigDirectory(), "highlight")});
}

std::shared_ptr<const TSyntax> TSyntaxCatalog::ForExtension(std::string_view upperExtension) const {
    for (auto it = languages_.rbegin(); it != languages_.rend(); ++it)
        if ((*it)->HasExtension(upperExtension)) return *it;
    return nullptr;
}

} // namespace lorvane
