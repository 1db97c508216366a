#include <gtest/gtest.h>
#include "app/recovery/RecoveryFolder.h"
#include "app/recovery/RecoveryWriter.h"
#include "support/TempFolder.h"

// A copy keeps what saving needs; a write after a takeover lands on it, not under it.
TEST(RecoveryCopy, KeepsWhatSavingNeedsAndIsTakenOverInTurn)
{
    TempFolder folder;
    {
        RecoveryWriter writer(folder / "own.qrc", nullptr, WM_NULL);
        writer.TakeOver(folder.Write("left.qrc", ""));
        writer.Write(RecoveryCopy{"a.txt", 4, 1, 2, "typed", true, true, true, 5, 6});
    }
    RecoveryCopy read;
    ASSERT_TRUE(RecoveryFolder::Read(folder / "own.qrc", &read));
    EXPECT_TRUE(read.text == "typed" && read.lossy && read.markless && read.fileSize == 5 && read.fileWritten == 6);
    EXPECT_EQ(std::vector<std::string>{"own.qrc"}, folder.Entries()) << "the restored copy was taken over";
}
