#include "support/TestEnvironment.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace lorvane::test {

namespace {
std::unique_ptr<TempDir>& Root() {
    static std::unique_ptr<TempDir> root;
    return root;
}
std::string& ConfigHomeValue() {
    static std::string value;
    return value;
}
} // namespace

void SetUpIsolatedEnvironment() {
    Root() = std::make_unique<TempDir>();
    const auto config = Root()->path() / "config";
    const auto runtime = Root()->path() / "runtime";
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(runtime);
    // Qt insists on a private runtime directory, as the desktop gives one.
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ConfigHomeValue() = config.string();
    ::setenv("LORVANE_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The shipped data as it stands in the source tree, wherever the test
    // programs were built.
    ::setenv("LORVANE_DATA_DIR", LORVANE_SOURCE_DATA_DIR, 0);
}

void TearDownIsolatedEnvironment() { Root().reset(); }

const std::string& ConfigHome() { return ConfigHomeValue(); }

} // namespace lorvane::test
