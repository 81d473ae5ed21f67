#include "platform/ErrorHandler.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    lorvane::test::SetUpIsolatedEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    int rc = 0;
    {
        lorvane::TApplication app(argc, argv);
        app.setApplicationName("Lorvane");
        rc = RUN_ALL_TESTS();
    }
    lorvane::test::TearDownIsolatedEnvironment();
    return rc;
}
