// The recovery writer does what it is asked in order: a restored copy taken
// over first never lands on a later write, nor outlives a later removal.
#include <gtest/gtest.h>

#include "app/recovery/RecoveryFolder.h"
#include "app/recovery/RecoveryWriter.h"
#include "support/TempFolder.h"

TEST(RecoveryWriter, TakesOverInTurn)
{
    TempFolder folder;
    for (const bool remove : {false, true}) {
        const std::string own = folder / "own.qrc";
        const std::string left = folder.Write("left.qrc", RecoveryCopy{"", 0, 0, 0, "restored"}.Header());
        {
            RecoveryWriter writer(own, nullptr, WM_NULL);
            writer.TakeOver(left);
            writer.Write(RecoveryCopy{"", 0, 0, 0, "typed"});
            if (remove)
                writer.Remove();
        }
        RecoveryCopy copy;
        EXPECT_EQ(!remove, RecoveryFolder::Read(own, &copy) && copy.text == "typed") << remove;
        EXPECT_EQ((std::vector<std::string>(remove ? 0 : 1, "own.qrc")), folder.Entries()) << remove;
    }
}
