// The Open and Save As dialogs, shown for real and answered by DialogDriver.
#include <gtest/gtest.h>

#include <string>

#include "framework/Win32.h"
#include "ShownDialogTest.h"
#include "support/DialogDriver.h"
#include "support/TempFolder.h"
#include "util/FileDialog.h"

namespace {

const int FileTypeListId = 1136; // cmb1: the file-type list of the dialog

const FileFilter DocumentFilters[] = {
    {"*.txt", "テキストファイル (*.txt)"},
    {"*.log", "ログファイル (*.log)"},
    {"*.ini", "iniファイル (*.ini)"},
    {"*.*", "全てのファイル (*.*)"},
};

std::string WithNul(const std::string& text)
{
    return text + std::string(1, '\0');
}

TEST(FileDialogRecord, StartsFromTheDefaultsOfThisSystem)
{
    FileDialog dialog;
    const OPENFILENAMEA& record = dialog.GetRecord();
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(::GetVersionExA(&version));
    if (version.dwMajorVersion >= 5) {
        EXPECT_EQ(sizeof(OPENFILENAMEA), record.lStructSize);
        EXPECT_EQ(static_cast<DWORD>(OFN_EX_NOPLACESBAR), record.FlagsEx);
    } else {
        EXPECT_EQ(static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A), record.lStructSize);
        EXPECT_EQ(0u, record.FlagsEx);
    }
    EXPECT_EQ(0x1005u, record.Flags);
    EXPECT_EQ(nullptr, record.lpstrFile) << "made at the first showing";
    EXPECT_EQ("", dialog.GetFileName());
    EXPECT_EQ("", dialog.GetFilterList());

    dialog.SetFlags(0x1007);
    EXPECT_EQ(static_cast<DWORD>(OFN_READONLY | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY |
                                 OFN_FILEMUSTEXIST),
              record.Flags);
    dialog.SetFlags(OFN_EXPLORER);
    EXPECT_EQ(static_cast<DWORD>(OFN_EXPLORER), record.Flags) << "the defaults are not kept";
}

using FileDialogTest = ShownDialogTest;

TEST_F(FileDialogTest, FilterListBytesAndWhatTheDialogOffers)
{
    FileDialog dialog;
    EXPECT_EQ(4, dialog.AddFilters(DocumentFilters, 4));
    dialog.AddFilter({"*.md", "表ソ (*.md)"});
    const std::string expected =
        WithNul("テキストファイル (*.txt)") + WithNul("*.txt") + WithNul("ログファイル (*.log)") +
        WithNul("*.log") + WithNul("iniファイル (*.ini)") + WithNul("*.ini") +
        WithNul("全てのファイル (*.*)") + WithNul("*.*") + WithNul("表ソ (*.md)") +
        WithNul("*.md") + WithNul("");
    // The descriptions are code page 932 bytes: テキスト.
    ASSERT_EQ(0u, expected.find("\x83\x65\x83\x4c\x83\x58\x83\x67"));

    int offered = 0;
    std::string firstOffered;
    driver.Queue([&](HWND dlg) {
        HWND types = ::GetDlgItem(dlg, FileTypeListId);
        offered = static_cast<int>(::SendMessageA(types, CB_GETCOUNT, 0, 0));
        firstOffered = DialogDriver::TextOf(dlg, FileTypeListId);
        DialogDriver::PostCommand(dlg, IDCANCEL);
    });
    EXPECT_FALSE(dialog.Show(owner, 1));
    EXPECT_EQ(expected, dialog.GetFilterList());
    const char* handed = dialog.GetRecord().lpstrFilter;
    ASSERT_NE(nullptr, handed);
    EXPECT_EQ(expected, std::string(handed, expected.size()));
    EXPECT_EQ('\0', handed[expected.size()]) << "the spare last byte";
    EXPECT_EQ(5, offered);
    EXPECT_EQ("テキストファイル (*.txt)", firstOffered);

    // A second showing builds the same list again, not a longer one.
    driver.Queue(DialogDriver::Press(IDCANCEL));
    EXPECT_FALSE(dialog.Show(owner, 1));
    EXPECT_EQ(expected, dialog.GetFilterList());
}

TEST_F(FileDialogTest, NoFiltersGiveAnEmptyList)
{
    FileDialog dialog;
    driver.Queue(DialogDriver::Press(IDCANCEL));
    EXPECT_FALSE(dialog.Show(owner, 0));
    EXPECT_EQ(std::string(1, '\0'), dialog.GetFilterList());
    const char* handed = dialog.GetRecord().lpstrFilter;
    ASSERT_NE(nullptr, handed);
    EXPECT_EQ('\0', handed[1]) << "still two NULs for the system";
}

TEST_F(FileDialogTest, EachShowingStartsFromFileName)
{
    std::string first = folder.Write("first.txt", "1");
    std::string second = folder.Write("second.txt", "2");
    FileDialog dialog;
    dialog.AddFilters(DocumentFilters, 4);

    driver.Queue(DialogDriver::ChooseFile(first));
    ASSERT_TRUE(dialog.Show(owner, 1)) << driver.Report();
    EXPECT_EQ(first, dialog.GetFileName());

    dialog.fileName = "second.txt";
    dialog.initialDir = folder.Path();
    driver.Queue(DialogDriver::ChooseFile(second));
    ASSERT_TRUE(dialog.Show(owner, 1)) << driver.Report();
    EXPECT_EQ(second, dialog.GetFileName());

    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("", driver.Seen()[0].fileName);
    EXPECT_EQ("second.txt", driver.Seen()[1].fileName) << "not the previous choice";
}

// The editor's Save As flags (0x1007) ask before overwriting; the Open
// defaults they replace would not.
TEST_F(FileDialogTest, SaveAsWithTheEditorsFlags)
{
    std::string existing = folder.Write("existing.txt", "old");
    std::string fresh = folder.PathOf("fresh.txt");
    FileDialog dialog;
    dialog.AddFilters(DocumentFilters, 4);
    dialog.SetFlags(0x1007);

    driver.Queue(DialogDriver::ChooseFile(fresh));
    ASSERT_TRUE(dialog.Show(owner, 0)) << driver.Report();
    EXPECT_EQ(fresh, dialog.GetFileName());

    driver.Queue(DialogDriver::ChooseFile(existing)).Queue(DialogDriver::Press(IDYES));
    ASSERT_TRUE(dialog.Show(owner, 0)) << driver.Report();
    EXPECT_EQ(existing, dialog.GetFileName());
    ASSERT_EQ(3u, driver.Seen().size()) << "the overwrite question was asked";
    EXPECT_FALSE(driver.Seen()[2].text.empty());
    EXPECT_EQ("", driver.Seen()[2].fileName) << "a message box, not a file dialog";
}

TEST_F(FileDialogTest, OverlongFileNameIsCutToTheBuffer)
{
    const size_t room = FileDialog::FileBufferSize - 1;
    struct Case {
        std::string fileName;
        size_t kept;
    };
    const Case cases[] = {
        {std::string(40000, 'a'), room},
        {std::string(room, 'a'), room},
        // A double-byte character that would straddle the end is left out whole.
        {std::string(room - 1, 'a') + "表", room - 1},
    };
    FileDialog dialog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName.size());
        dialog.fileName = c.fileName;
        driver.Queue(DialogDriver::Press(IDCANCEL));
        EXPECT_FALSE(dialog.Show(owner, 1));
        const char* buffer = dialog.GetRecord().lpstrFile;
        ASSERT_NE(nullptr, buffer);
        EXPECT_EQ(FileDialog::FileBufferSize, dialog.GetRecord().nMaxFile);
        EXPECT_EQ(c.fileName.substr(0, c.kept), std::string(buffer, c.kept));
        EXPECT_EQ('\0', buffer[c.kept]);
    }
}

} // namespace
