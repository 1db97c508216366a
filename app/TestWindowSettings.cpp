// What the user's settings keep between runs: the recent files in the
// ファイル menu and the panes' font (the view's choices: TestWindowView).
#include "app/TestWindow.h"

#include "res/resource.h"

namespace {

constexpr UINT QuestionYesNo = MB_YESNO | MB_ICONQUESTION; // 0x24
constexpr int FilePopup = 0;

bool IsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

void TestWindow::LoadUserChoices()
{
    recentFiles.Load();
    ShowRecentFiles();
    paneFont.Load(leftPane, rightPane);
    LoadViewChoices();
}

void TestWindow::ShowRecentFiles()
{
    recentFiles.ShowIn(::GetSubMenu(::GetMenu(hwnd), FilePopup), IDM_EXIT);
}

void TestWindow::NoteRecentFile(const std::string& path)
{
    recentFiles.Add(path);
    ShowRecentFiles();
}

// 1 when id is a recent file's command. The file opens as 開く opens one; a
// file that is gone is offered for removal from the list instead.
int TestWindow::OnRecentFile(WORD id)
{
    const std::string path = recentFiles.PathFor(id);
    if (path.empty())
        return 0;
    if (!IsFile(path)) {
        const std::string question =
            "ファイルが見つかりません。\n" + path + "\n\n最近使ったファイルの一覧から削除しますか？";
        if (MessageBox(question, "最近使ったファイル", QuestionYesNo) == IDYES) {
            recentFiles.Remove(path);
            ShowRecentFiles();
        }
        return 1;
    }
    if (AskToSaveFirst() == 1)
        OpenDocumentFile(path);
    return 1;
}

int TestWindow::OnFont()
{
    paneFont.Choose(*this, leftPane, rightPane);
    return 0;
}
