#include "app/ToolOutputName.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace lorvane {
namespace {

namespace fs = std::filesystem;

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The files beside `computed` whose names are it with the extension in any
// case, `computed` itself included when it exists, in byte order; not the
// source (a source "prog.lst" is no listing of itself).
std::vector<std::string> CaseVariants(const std::string& computed, const std::string& source) {
    const fs::path path(computed);
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    const std::string_view stem(name.data(), dot);
    const std::string_view extension = std::string_view(name).substr(dot);
    std::vector<std::string> found;
    std::error_code error;
    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (candidate.size() != name.size() || candidate.compare(0, dot, stem) != 0) continue;
        if (!SameIgnoringAsciiCase(std::string_view(candidate).substr(dot), extension)) continue;
        const fs::path variant = path.parent_path() / candidate;
        std::error_code same;
        if (variant == fs::path(source) || fs::equivalent(variant, source, same)) continue;
        found.push_back(variant.string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

std::string ToolOutputFile(const std::string& computed, const std::string& source) {
    std::error_code error;
    if (fs::exists(computed, error)) return computed;
    const std::vector<std::string> variants = CaseVariants(computed, source);
    return variants.empty() ? computed : variants.front();
}

void RemoveToolOutputs(const std::string& computed, const std::string& source) {
    std::error_code error;
    for (const std::string& variant : CaseVariants(computed, source))
        fs::remove(variant, error);
}

} // namespace lorvane
