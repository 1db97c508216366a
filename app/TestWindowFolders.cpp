// Directory listing and grep into the right pane.
#include "app/FolderGrep.h"
#include "app/FolderListing.h"
#include "app/TestWindow.h"
#include "util/FolderDialog.h"

#include <utility>

namespace {
constexpr UINT ErrorBoxType = MB_OK | MB_ICONEXCLAMATION; // 0x30
} // namespace

int TestWindow::OnListDirectory()
{
    FolderDialog dialog;
    if (!dialog.Show(*this))
        return 0;
    std::string Dir = dialog.GetPath();
    rightPane.SetText(ListDirectory(Dir));
    return 0;
}

std::string TestWindow::ListDirectory(std::string folder)
{
    std::string textBuf;
    FolderListing listing;
    listing.List(folder, textBuf);
    return textBuf;
}

// The folder is asked for first; cancelling either dialog changes nothing.
// Files that could not be read cost only their own results: the pane gets
// everything found, then one box names what was skipped.
int TestWindow::OnGrep()
{
    FolderDialog dialog;
    if (!dialog.Show(*this))
        return 0;
    std::string Dir = dialog.GetPath();
    if (grepDialog.RunModal(this) != 1)
        return 0;
    grepText = grepDialog.GetInputText();

    FolderGrep grep(grepText);
    std::string FilePass;
    grep.Search(Dir, FilePass);
    rightPane.SetText(std::move(FilePass));
    if (grep.SkippedCount() > 0)
        MessageBox(grep.SkippedMessage(), "エラー", ErrorBoxType);
    return 0;
}

std::string TestWindow::GrepDirectory(std::string folder)
{
    std::string FilePass;
    FolderGrep grep(grepText);
    grep.Search(folder, FilePass);
    return FilePass;
}
