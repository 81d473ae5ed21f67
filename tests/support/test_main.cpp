#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    lorvane::test::SetUpIsolatedEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    lorvane::test::TearDownIsolatedEnvironment();
    return rc;
}
