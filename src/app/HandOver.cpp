#include "app/HandOver.h"

#include "platform/Registry.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace lorvane {
namespace {

constexpr std::string_view kValueName = "Parameter";

std::string TakeValue(std::string_view subKey) {
    try {
        TRegistry registry(RootKey::CurrentUser);
        // Opening without creating: an idle pass must not write anything.
        if (!registry.OpenKey("\\OpenFileLorvane\\" + std::string(subKey), false)) return {};
        std::string name = registry.ReadString(kValueName);
        if (!name.empty()) registry.WriteString(kValueName, "");
        return name;
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

std::string JoinParameters(std::span<const std::string> parameters) {
    std::string joined;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (i) joined += ' ';
        joined += parameters[i];
    }
    return joined;
}

std::string JoinParameters(int argc, const char* const* argv) {
    std::vector<std::string> parameters;
    for (int i = 1; i < argc; ++i)
        parameters.emplace_back(argv[i]);
    return JoinParameters(parameters);
}

std::string HandOverName(std::span<const std::string> parameters) {
    const std::string joined = JoinParameters(parameters);
    if (joined.empty()) return joined;
    const std::filesystem::path name(joined);
    if (name.is_absolute()) return joined;
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(name, error);
    return error ? joined : whole.string();
}

std::string JoinNames(std::span<const std::string> names) {
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) joined += '\n';
        joined += name;
    }
    return joined;
}

std::vector<std::string> SplitNames(std::string_view value) {
    std::vector<std::string> names;
    std::error_code error;
    if (value.find('\n') == std::string_view::npos ||
        std::filesystem::is_regular_file(std::filesystem::path(value), error)) {
        if (!value.empty()) names.emplace_back(value);
        return names;
    }
    for (std::size_t start = 0; start <= value.size();) {
        std::size_t end = value.find('\n', start);
        if (end == std::string_view::npos) end = value.size();
        if (end > start) names.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool WriteHandOver(std::string_view commandLine) {
    if (commandLine.empty()) return true;
    try {
        TRegistry registry(RootKey::CurrentUser);
        registry.OpenKey("\\OpenFileLorvane\\Parameter", true);
        registry.WriteString(kValueName, commandLine);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string TakeHandOver() {
    return TakeValue("Parameter");
}

std::string TakeSearchProgramRequest() {
    return TakeValue("Findorax");
}

void ClearHandOverIf(std::string_view name) {
    try {
        TRegistry registry(RootKey::CurrentUser);
        if (!registry.OpenKey("\\OpenFileLorvane\\Parameter", false)) return;
        if (registry.ReadString(kValueName) == name) registry.WriteString(kValueName, "");
    } catch (const std::exception&) {
    }
}

bool HandOverQueue::FromSocket(const std::string& name, Clock::time_point now) {
    std::erase_if(takenFromRegistry_,
                  [now](const auto& taken) { return now - taken.second > kPairing; });
    const auto taken = std::find_if(takenFromRegistry_.begin(), takenFromRegistry_.end(),
                                    [&name](const auto& t) { return t.first == name; });
    if (taken != takenFromRegistry_.end()) {
        takenFromRegistry_.erase(taken);
        return false;
    }
    waiting_.push_back(name);
    return true;
}

void HandOverQueue::FromRegistry(const std::string& name, Clock::time_point now) {
    waiting_.push_back(name);
    takenFromRegistry_.emplace_back(name, now);
}

std::optional<std::string> HandOverQueue::Next() {
    if (waiting_.empty()) return std::nullopt;
    std::string name = std::move(waiting_.front());
    waiting_.pop_front();
    return name;
}

} // namespace lorvane
