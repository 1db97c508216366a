// Swap panes, wallpaper and the About box on the real main window.
#include <gtest/gtest.h>

#include <string>

#include "ImportPatch.h"
#include "ProbeWindow.h"
#include "support/TempFolder.h"

namespace {

const char* const ModifiedCaption = "無題 - Quorvane（更新）";

std::string Caption(Window& window)
{
    return window.GetText();
}

using Swap = MainWindowTest;

} // namespace

// The second swap brings the document itself back, at its save point.
TEST_F(Swap, TwiceRestoresBothTextsAndTheUnmarkedDocument)
{
    const std::string left = "左の\r\n文章";
    const std::string right = "right text";
    window.leftPane.SetText(left);
    window.rightPane.SetText(right);

    window.OnSwapText();
    EXPECT_EQ(right, window.leftPane.GetText());
    EXPECT_EQ(left, window.rightPane.GetText());
    EXPECT_EQ(1, window.modified);

    window.OnSwapText();
    EXPECT_EQ(left, window.leftPane.GetText());
    EXPECT_EQ(right, window.rightPane.GetText());
    EXPECT_EQ(0, window.modified);
    EXPECT_EQ("無題 - Quorvane", Caption(window));
}

// Results swapped to the left take edits that can be undone; back on the
// right they are results again, and what comes there is never undone. A
// document with no file (restored, or its file gone) swapped there and back
// keeps its history.
TEST_F(Swap, ResultsSwappedBackKeepNoHistory)
{
    window.fileDocument = nullptr;
    window.leftPane.ReplaceSelection("mine");
    window.OnSwapText();
    window.OnSwapText();
    EXPECT_TRUE(window.leftPane.CanUndo());
    window.ResultPane().Append("a.txt(1): x\r\n");
    window.OnSwapText();
    window.leftPane.ReplaceSelection("typed ");
    EXPECT_TRUE(window.leftPane.CanUndo());
    window.OnSwapText();
    window.rightPane.Append("b.txt(2): y\r\n");
    EXPECT_FALSE(window.rightPane.CanUndo());
    window.rightPane.Undo();
    EXPECT_EQ("typed a.txt(1): x\r\nb.txt(2): y\r\n", std::string(window.rightPane.Bytes()));
}

TEST_F(Swap, TwoEmptyPanesStillMarkTheDocument)
{
    window.OnSwapText();
    EXPECT_EQ(1, window.modified);
    EXPECT_EQ(ModifiedCaption, Caption(window));
}

namespace {

// A 1 x 1 pixel, 24-bit bottom-up bitmap file.
std::string SmallBitmap()
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    const DWORD pixelBytes = 4; // one pixel, row padded to four bytes
    file.bfType = 0x4D42;       // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof(info);
    info.biWidth = 1;
    info.biHeight = 1;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixelBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes.append("\x20\x40\x80\x00", pixelBytes);
    return bytes;
}

std::string CurrentWallpaper()
{
    char path[MAX_PATH + 1] = {};
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    return path;
}

void SetWallpaper(const std::string& path)
{
    std::string copy = path;
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, copy.data(), SPIF_UPDATEINIFILE);
}

BOOL WINAPI RefuseWallpaper(UINT action, UINT param, PVOID value, UINT flags);

void* realSystemParametersInfo = nullptr;

BOOL WINAPI RefuseWallpaper(UINT action, UINT param, PVOID value, UINT flags)
{
    if (action == SPI_SETDESKWALLPAPER)
        return FALSE;
    using Function = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
    return reinterpret_cast<Function>(realSystemParametersInfo)(action, param, value, flags);
}

class Wallpaper : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        before = CurrentWallpaper();
        ASSERT_TRUE(folder.IsReady());
        bitmap = folder.Write("壁紙.bmp", SmallBitmap());
        ASSERT_FALSE(bitmap.empty());
    }
    void TearDown() override
    {
        SetWallpaper(before);
        MainWindowTest::TearDown();
    }

    std::string before;
    TempFolder folder;
    std::string bitmap;
};

} // namespace

TEST_F(Wallpaper, ChosenBitmapBecomesTheWallpaperSilently)
{
    driver.Queue(DialogDriver::ChooseFile(bitmap));
    window.OnChangeWallpaper();
    EXPECT_EQ(bitmap, CurrentWallpaper());
    EXPECT_EQ(1u, driver.Seen().size()); // the file dialog only, no message
    EXPECT_EQ(0, window.modified);
}

TEST_F(Wallpaper, CancelChangesNothing)
{
    SetWallpaper("");
    driver.Queue(DialogDriver::Press(IDCANCEL));
    window.OnChangeWallpaper();
    EXPECT_EQ("", CurrentWallpaper());
}

// Wine takes any path as wallpaper, so the refusal is made here.
TEST_F(Wallpaper, RefusalIsReported)
{
    SetWallpaper("");
    ImportPatch refuse("user32.dll", "SystemParametersInfoA",
                       reinterpret_cast<void*>(RefuseWallpaper));
    ASSERT_TRUE(refuse.Applied());
    realSystemParametersInfo = refuse.Original();
    driver.Queue(DialogDriver::ChooseFile(bitmap)).Queue(DialogDriver::Press(IDOK));
    window.OnChangeWallpaper();
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("壁紙を変更できませんでした", driver.Seen()[1].text);
    EXPECT_EQ("エラー", driver.Seen()[1].caption);
    EXPECT_EQ("", CurrentWallpaper());
}

namespace {

using About = MainWindowTest;

void PostKey(HWND dialog, WPARAM key)
{
    ::PostMessageA(dialog, WM_KEYDOWN, key, 0);
}

} // namespace

TEST_F(About, OkEscAndTheCloseBoxAllCloseIt)
{
    struct Case {
        const char* name;
        DialogDriver::Answer answer;
    } cases[] = {
        {"OK", DialogDriver::Press(IDOK)},
        {"Esc", [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }},
        {"close box", [](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        size_t seenBefore = driver.Seen().size();
        driver.Queue(c.answer);
        EXPECT_EQ(0, window.OnAbout()) << c.name;
        ASSERT_EQ(seenBefore + 1, driver.Seen().size()) << c.name;
        EXPECT_EQ("バージョン情報", driver.Seen().back().caption) << c.name;
        EXPECT_TRUE(::IsWindowEnabled(window.GetHandle())) << c.name;
    }
}
