// The whole suite assumes code page 932 and the build the test scripts name;
// a wrong locale or a wrong build must fail loudly instead of quietly testing
// something else.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/Win32.h"

TEST(Environment, AnsiCodePageIs932)
{
    EXPECT_EQ(932u, ::GetACP());
    EXPECT_TRUE(::IsDBCSLeadByte(0x83));
    // The literals of the sources are compiled to code page 932 as well.
    EXPECT_STREQ("\x96\xb3\x91\xe8", "無題");
}

// tools/wine-env.sh names the build: its pointer size, and whether it runs
// as a 32-bit program on 64-bit Windows.
TEST(Environment, IsTheBuildTheScriptsName)
{
    const char* bits = std::getenv("QUORVANE_EXPECT_BITS");
    const char* wow64 = std::getenv("QUORVANE_EXPECT_WOW64");
    ASSERT_TRUE(bits && wow64) << "run the tests through tools/test.sh";
    EXPECT_EQ(std::string(bits), std::to_string(sizeof(void*) * 8));
    BOOL isWow64 = FALSE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &isWow64));
    EXPECT_EQ(std::string(wow64), isWow64 ? "1" : "0");
}
