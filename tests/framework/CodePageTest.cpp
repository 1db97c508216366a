// The whole suite assumes code page 932; a wrong locale must fail loudly
// instead of quietly testing another code page.
#include <gtest/gtest.h>

#include "framework/Win32.h"

TEST(Environment, AnsiCodePageIs932)
{
    EXPECT_EQ(932u, ::GetACP());
    EXPECT_TRUE(::IsDBCSLeadByte(0x83));
    // The literals of the sources are compiled to code page 932 as well.
    EXPECT_STREQ("\x96\xb3\x91\xe8", "無題");
}
