#include "platform/ErrorHandler.h"
#include "platform/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    lorvane::test::SetUpIsolatedEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    int rc = 0;
    {
        lorvane::TApplication app(argc, argv);
        app.setApplicationName("Lorvane");
        // A dialog no test scripted fails loudly instead of waiting for a
        // user who is not there; tests install their own on top of this one.
        lorvane::ScriptedDialogs noUser;
        rc = RUN_ALL_TESTS();
    }
    lorvane::test::TearDownIsolatedEnvironment();
    return rc;
}
