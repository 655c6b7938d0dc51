// Entry of the suites that open windows: one QApplication, and death tests
// that start a fresh copy of the suite, so no toolkit state is shared with a
// forked child.

#include <QApplication>

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication application(argc, argv);
    // No caret blinks: a test waiting for an event gets its own.
    QApplication::setCursorFlashTime(0);
    const int status = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
    // Leaks are looked for now, while the toolkit's threads wait: at the exit
    // they end, and LeakSanitizer's stop-the-world crashes now and then on one
    // that is ending ("Tracer caught signal 11").
    __lsan_do_leak_check();
#endif
    return status;
}
