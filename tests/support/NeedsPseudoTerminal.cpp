// Stands in on Windows for a test program whose every test plays the scale on a pseudo-terminal
// (directly or through the virtual scale): the platform has none, so the program reports a skip.
// The Windows serial link is tested against the virtual scale through Wine's COM port mapping.

#include <gtest/gtest.h>

TEST(NeedsPseudoTerminal, Skipped)
{
    GTEST_SKIP() << SCALETOOL_SKIPPED_TEST
        " plays the scale on a pseudo-terminal, which Windows does not have";
}
