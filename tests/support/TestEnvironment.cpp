#include "support/TestEnvironment.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace lorvane::test {

namespace {
std::unique_ptr<TempDir> root;
std::string configHome;
} // namespace

void SetUpIsolatedEnvironment() {
    root = std::make_unique<TempDir>();
    const auto config = root->path() / "config";
    const auto runtime = root->path() / "runtime";
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(runtime);
    // Qt insists on a private runtime directory, as the desktop gives one.
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    configHome = config.string();
    ::setenv("LORVANE_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The shipped data as it stands in the source tree, wherever the test
    // programs were built.
    ::setenv("LORVANE_DATA_DIR", LORVANE_SOURCE_DATA_DIR, 0);
}

void TearDownIsolatedEnvironment() {
    root.reset();
}

const std::string& ConfigHome() {
    return configHome;
}

} // namespace lorvane::test
