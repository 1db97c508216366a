// The dialog driver that the dialog tests rely on, on plain message boxes.
#include <gtest/gtest.h>

#include "framework/Win32.h"
#include "support/DialogDriver.h"
#include "support/OwnerWindow.h"

namespace {

TEST(DialogDriver, AnswersInOrderAndReportsWhatItSaw)
{
    OwnerWindow owner;
    ASSERT_TRUE(owner.IsReady());
    DialogDriver driver;
    driver.Queue(DialogDriver::Press(IDNO)).Queue(DialogDriver::Press(IDCANCEL));
    EXPECT_EQ(IDNO, ::MessageBoxA(owner.GetHandle(), "一行目\n二行目", "確認", MB_YESNOCANCEL));
    EXPECT_EQ(IDCANCEL, ::MessageBoxA(owner.GetHandle(), "終了しますか？", "終了の確認",
                                      MB_OKCANCEL | MB_DEFBUTTON2));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("確認", driver.Seen()[0].caption);
    EXPECT_EQ("一行目\n二行目", driver.Seen()[0].text);
    EXPECT_EQ("終了の確認", driver.Seen()[1].caption);
}

TEST(DialogDriver, CancelsAndReportsAnUnexpectedDialog)
{
    OwnerWindow owner;
    ASSERT_TRUE(owner.IsReady());
    DialogDriver driver;
    EXPECT_EQ(IDCANCEL, ::MessageBoxA(owner.GetHandle(), "予期しない", "想定外", MB_OKCANCEL));
    EXPECT_FALSE(driver.Finished());
    EXPECT_NE(std::string::npos, driver.Report().find("想定外"));
}

} // namespace
