#pragma once
// Every test process runs with its own configuration and runtime directories
// (LORVANE_CONFIG_HOME, XDG_RUNTIME_DIR) so that no test ever reads or writes
// the user's settings. The mains below set them up before any test runs.
#include <string>

namespace lorvane::test {
void SetUpIsolatedEnvironment();
void TearDownIsolatedEnvironment();
const std::string& ConfigHome();
} // namespace lorvane::test
