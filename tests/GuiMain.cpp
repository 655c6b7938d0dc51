// Entry of the suites that open windows: one QApplication, and death tests
// that start a fresh copy of the suite, so no toolkit state is shared with a
// forked child.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication application(argc, argv);
    // No caret blinks: a test waiting for an event gets its own.
    QApplication::setCursorFlashTime(0);
    return RUN_ALL_TESTS();
}
