// Tests of the autorun.inf the agent writes.
#include "common/agent/AutorunInf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Catches: a changed line, LF instead of CR LF, a line end after the last line, or a terminating zero written.
TEST(AutorunInf, BytesAreTheSixLinesWithCrLfBetween) {
    auto bytes = common::AutorunInfBytes();
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text,
              "[autorun]\r\naction=Kelvo\r\nTitle=Kelvo\r\nShell=Shell00\r\nShell\\Shell00=Kelvo\r\n"
              "Shell\\Shell00\\Command=Start.exe");
}

// Catches: the file placed in the suite folder instead of the drive root.
TEST(AutorunInf, LivesAtTheRootOfTheSuiteDrive) {
    EXPECT_EQ(common::AutorunInfPath(u"T:\\Kelvo"), u"T:\\autorun.inf");
    EXPECT_EQ(common::AutorunInfPath(u""), u"");
}

}  // namespace
