// ShownDialogTest: the fixture of the tests that show a real common dialog:
// an owner window, a temporary folder and a driver that answers the dialogs,
// which must have used every answer by the end of the test.
#pragma once

#include <gtest/gtest.h>

#include "support/DialogDriver.h"
#include "support/OwnerWindow.h"
#include "support/TempFolder.h"

class ShownDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(owner.IsReady());
        ASSERT_TRUE(folder.IsReady());
    }

    void TearDown() override { EXPECT_TRUE(driver.Finished()) << driver.Report(); }

    OwnerWindow owner;
    TempFolder folder;
    DialogDriver driver;
};
