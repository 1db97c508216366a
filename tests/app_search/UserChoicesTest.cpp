// Recent files, the panes' font and 表示's choices, kept in a settings file
// of the test's own: the menu's list, its limit and order, the offer to drop
// a missing file, and all surviving a restart of the main window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ProbeWindow.h"
#include "Scintilla.h"
#include "app/documents/RecentFiles.h"
#include "app/settings/UserSettings.h"
#include "res/resource.h"
#include "support/TempFolder.h"

namespace {

constexpr int FaceBoxId = 1136;   // cmb1 of the font dialog
constexpr int ScriptBoxId = 1140; // cmb5

class UserChoices : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsReady());
        UserSettings::Get().SetPath(folder / "Quorvane.ini");
        Restart();
    }

    void TearDown() override
    {
        EXPECT_TRUE(driver.Finished()) << driver.Report();
        Close();
        UserSettings::Get().SetPath(previousPath);
    }

    void Close()
    {
        if (window == nullptr)
            return;
        window->DestroyWindow();
        window.reset();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // A new main window, as at the program's next start.
    void Restart()
    {
        Close();
        window = std::make_unique<ProbeWindow>();
        ASSERT_EQ(1, window->Create(nullptr, 0, 0, 640, 480));
    }

    // The labels between the separators above アプリケーションの終了.
    std::vector<std::string> RecentLabels() const
    {
        HMENU file = ::GetSubMenu(::GetMenu(window->GetHandle()), 0);
        std::vector<std::string> labels;
        for (int pos = 0; pos < ::GetMenuItemCount(file); ++pos) {
            const UINT id = ::GetMenuItemID(file, pos);
            if (id < IDM_RECENT_FIRST || id > IDM_RECENT_LAST)
                continue;
            char text[MAX_PATH * 2] = {};
            ::GetMenuStringA(file, static_cast<UINT>(pos), text, sizeof(text), MF_BYPOSITION);
            labels.push_back(text);
        }
        return labels;
    }

    std::string previousPath = UserSettings::Get().Path();
    TempFolder folder;
    DialogDriver driver;
    std::unique_ptr<ProbeWindow> window;
};

TEST_F(UserChoices, RecentFilesNewestFirstTenAtMostAfterARestart)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        paths.push_back(folder.Write("文書" + std::to_string(i) + ".txt", "text"));
        ASSERT_EQ(1, window->OpenDocumentFile(paths.back()));
    }
    ASSERT_EQ(1, window->OpenDocumentFile(paths[5]));
    // Newest first: 5, then 11 down to 3; 2, 1 and 0 fell off the end.
    const int order[] = {5, 11, 10, 9, 8, 7, 6, 4, 3, 2};
    std::vector<std::string> expected;
    for (int i = 0; i < 10; ++i)
        expected.push_back(RecentFiles::MenuLabel(static_cast<size_t>(i), paths[order[i]]));
    EXPECT_EQ("&1 ", expected[0].substr(0, 3));
    EXPECT_EQ("&0 ", expected[9].substr(0, 3));
    EXPECT_EQ(expected, RecentLabels());

    Restart();
    EXPECT_EQ(expected, RecentLabels());
    ASSERT_EQ(1, window->OnRecentFile(IDM_RECENT_FIRST + 3));
    EXPECT_EQ(paths[9] + " - Quorvane", window->GetText());
    EXPECT_EQ(RecentFiles::MenuLabel(0, paths[9]), RecentLabels().front());
}

// Paths are shortened in the middle, at separators that are characters of
// their own (表 and ソ end in 0x5C), and '&' shows as itself.
TEST(RecentFileLabels, ShortenedInTheMiddle)
{
    struct Case {
        size_t index;
        std::string path;
        size_t maxBytes;
        std::string label;
    } const cases[] = {
        {0, "C:\\a\\b.txt", 60, "&1 C:\\a\\b.txt"},
        {1, "C:\\aaa\\bbb\\ccc\\ddd\\file.txt", 20, "&2 C:\\...\\ddd\\file.txt"},
        {2, "C:\\表\\ソ\\x\\file.txt", 15, "&3 C:\\...\\file.txt"},
        {9, "C:\\a&b.txt", 60, "&0 C:\\a&&b.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.label, RecentFiles::MenuLabel(c.index, c.path, c.maxBytes)) << c.path;
}

TEST_F(UserChoices, MissingRecentFileIsOfferedForRemoval)
{
    const std::string kept = folder.Write("残る.txt", "kept");
    const std::string gone = folder.Write("消える.txt", "gone");
    ASSERT_EQ(1, window->OpenDocumentFile(kept));
    ASSERT_EQ(1, window->OpenDocumentFile(gone));
    ASSERT_TRUE(::DeleteFileA(gone.c_str()));

    driver.Queue(DialogDriver::Press(IDNO)).Queue(DialogDriver::Press(IDYES));
    for (int answer = 0; answer < 2; ++answer)
        EXPECT_EQ(1, window->OnRecentFile(IDM_RECENT_FIRST));
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("ファイルが見つかりません。\n" + gone + "\n\n最近使ったファイルの一覧から削除しますか？",
              driver.Seen()[0].text);
    EXPECT_EQ(std::vector<std::string>{RecentFiles::MenuLabel(0, kept)}, RecentLabels());
    // Nothing else opened; the document whose file went is modified.
    EXPECT_EQ(gone + " - Quorvane（更新）", window->GetText()) << "nothing else opened";
}

TEST_F(UserChoices, ChosenFontShowsInBothPanesAfterARestart)
{
    std::string face;
    driver.Queue([&](HWND dialog) {
        HWND scripts = ::GetDlgItem(dialog, ScriptBoxId);
        EXPECT_EQ(SHIFTJIS_CHARSET, ::SendMessageA(scripts, CB_GETITEMDATA, ::SendMessageA(scripts, CB_GETCURSEL, 0, 0), 0))
            << "the Japanese script first";
        HWND faces = ::GetDlgItem(dialog, FaceBoxId);
        const LRESULT last = ::SendMessageA(faces, CB_GETCOUNT, 0, 0) - 1;
        ::SendMessageA(faces, CB_SETCURSEL, last, 0);
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(FaceBoxId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
        char text[LF_FACESIZE * 2] = {};
        ::SendMessageA(faces, CB_GETLBTEXT, last, reinterpret_cast<LPARAM>(text));
        face = text;
        DialogDriver::PostCommand(dialog, IDOK);
    });
    window->OnFont();
    ASSERT_FALSE(face.empty());

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "chosen" : "after a restart");
        for (ScintillaControl* pane : {&window->leftPane, &window->rightPane}) {
            LOGFONTA shown = {};
            ASSERT_NE(nullptr, pane->GetFont());
            pane->GetFontInfo(&shown);
            EXPECT_EQ(face, shown.lfFaceName);
        }
        Restart();
    }
}

// Each of 表示's choices: its check mark, then what it does (the status bar
// shown, a line-number margin and wrapping in both panes).
TEST_F(UserChoices, ViewChoicesShowAndSurviveARestart)
{
    const auto view = [&] {
        const HWND main = window->GetHandle();
        const auto checked = [&](UINT id) { return (::GetMenuState(::GetMenu(main), id, MF_BYCOMMAND) & MF_CHECKED) ? "1" : "0"; };
        const auto both = [&](UINT message, WPARAM w) {
            return ::SendMessageA(window->leftPane.GetHandle(), message, w, 0) != 0 &&
                           ::SendMessageA(window->rightPane.GetHandle(), message, w, 0) != 0 ? "1" : "0";
        };
        return std::string("bar ") + checked(IDM_VIEW_STATUS_BAR) +
               (::IsWindowVisible(::GetDlgItem(main, IDC_STATUS_BAR)) ? "1" : "0") + ", numbers " +
               checked(IDM_VIEW_LINE_NUMBERS) + both(SCI_GETMARGINWIDTHN, 0) + ", wrap " +
               checked(IDM_VIEW_WORD_WRAP) + both(SCI_GETWRAPMODE, 0);
    };
    EXPECT_EQ("bar 11, numbers 00, wrap 00", view()) << "at the first start";
    for (UINT id : {IDM_VIEW_STATUS_BAR, IDM_VIEW_LINE_NUMBERS, IDM_VIEW_WORD_WRAP})
        ::SendMessageA(window->GetHandle(), WM_COMMAND, id, 0);
    EXPECT_EQ("bar 00, numbers 11, wrap 11", view());
    Restart();
    EXPECT_EQ("bar 00, numbers 11, wrap 11", view()) << "after a restart";
}

// Zoom by the menu's commands and by Ctrl + wheel over one pane: both panes
// follow, and a restart forgets it.
TEST_F(UserChoices, ZoomActsOnBothPanesAndIsNotRemembered)
{
    const auto zooms = [&] {
        return std::to_string(::SendMessageA(window->leftPane.GetHandle(), SCI_GETZOOM, 0, 0)) + " " +
               std::to_string(::SendMessageA(window->rightPane.GetHandle(), SCI_GETZOOM, 0, 0));
    };
    const struct { UINT command; WPARAM wheel; const char* zooms; } steps[] = {
        {IDM_ZOOM_IN, 0, "1 1"}, {IDM_ZOOM_IN, 0, "2 2"}, {IDM_ZOOM_OUT, 0, "1 1"},
        {0, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), "2 2"}, {IDM_ZOOM_RESET, 0, "0 0"},
        {0, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), "1 1"},
    };
    for (const auto& step : steps) {
        if (step.command != 0)
            ::SendMessageA(window->GetHandle(), WM_COMMAND, step.command, 0);
        else
            ::SendMessageA(window->rightPane.GetHandle(), WM_MOUSEWHEEL, step.wheel, 0);
        EXPECT_EQ(step.zooms, zooms()) << step.command;
    }
    Restart();
    EXPECT_EQ("0 0", zooms());
}

} // namespace
