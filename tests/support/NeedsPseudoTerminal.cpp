// Stands in on Windows for a test program whose every test plays the scale on a raw pseudo-terminal
// of its own (the line's settings, a second opener): the platform has none, so the program reports
// a skip. The Windows serial device is tested against the virtual scale through COM ports instead.

#include <gtest/gtest.h>

TEST(NeedsPseudoTerminal, Skipped)
{
    GTEST_SKIP() << SCALETOOL_SKIPPED_TEST
        " plays the scale on a raw pseudo-terminal, which Windows does not have; the Windows serial device "
        "is tested by test_serial_link_win32 and the tests through COM ports (scripts/run-windows-tests)";
}
