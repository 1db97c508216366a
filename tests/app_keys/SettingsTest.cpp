// The per-user settings file and the window placement kept in it.
#include <gtest/gtest.h>

#include <string>

#include "app/settings/UserSettings.h"
#include "app/settings/WindowPlacement.h"
#include "support/TempFolder.h"

TEST(UserSettings, WritesAndReadsBackThroughANewFolder)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsReady());
    UserSettings& settings = UserSettings::Get();
    const std::string previous = settings.Path();
    settings.SetPath(folder / "Quorvane\\Quorvane.ini");

    EXPECT_EQ(7, settings.GetInt("Window", "Left", 7)) << "no file yet: the default";
    EXPECT_EQ("既定", settings.GetString("Recent", "File1", "既定"));
    EXPECT_EQ(1, settings.SetInt("Window", "Left", -120));
    EXPECT_EQ(1, settings.SetString("Recent", "File1", "C:\\表\\ソース.txt"));
    EXPECT_EQ(-120, settings.GetInt("Window", "Left", 7));
    EXPECT_EQ("C:\\表\\ソース.txt", settings.GetString("Recent", "File1", ""));
    std::string bytes;
    EXPECT_TRUE(TempFolder::ReadBytes(folder / "Quorvane\\Quorvane.ini", bytes));
    EXPECT_NE(std::string::npos, bytes.find("Left=-120"));

    settings.SetPath(folder / "missing\\deeper\\Quorvane.ini");
    EXPECT_EQ(0, settings.SetInt("Window", "Left", 1)) << "only the last folder is made";
    settings.SetPath(previous);
}

TEST(WindowPlacement, KeepsARectangleOnTheWorkArea)
{
    const RECT area = {0, 0, 1024, 740};
    const struct {
        RECT rect;
        RECT kept;
    } cases[] = {
        {{100, 50, 600, 450}, {100, 50, 600, 450}},        // already inside
        {{5000, 5000, 5600, 5400}, {424, 340, 1024, 740}}, // far off to the lower right
        {{-900, -300, -100, 100}, {0, 0, 800, 400}},       // off to the upper left
        {{-50, 10, 2000, 1000}, {0, 0, 1024, 740}},        // larger than the area
    };
    for (const auto& c : cases) {
        RECT got = WindowPlacement::KeptInside(c.rect, area);
        EXPECT_TRUE(got.left == c.kept.left && got.top == c.kept.top && got.right == c.kept.right &&
                    got.bottom == c.kept.bottom)
            << "from " << c.rect.left << "," << c.rect.top << " got " << got.left << "," << got.top << "-"
            << got.right << "," << got.bottom;
    }
}
