#include "ProbeWindow.h"

void MainWindowTest::SetUp()
{
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 640, 480));
}

void MainWindowTest::TearDown()
{
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    window.DestroyWindow();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
