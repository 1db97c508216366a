// The document commands: open, save, save as, the modified mark and the close
// question. The document is the left pane's text with its path.
#include "app/TestWindow.h"

namespace {
constexpr UINT QuestionYesNoCancel = MB_YESNOCANCEL | MB_ICONQUESTION;            // 0x23
constexpr UINT QuestionOkCancel = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2; // 0x121
} // namespace

int TestWindow::OnEditChange()
{
    SetCaptionFor(" - Quorvane（更新）");
    modified = 1;
    return 0;
}

// Closing after "Yes" only when the document really reached its file: a
// cancelled or failed save keeps the window and the text.
int TestWindow::HandleClose()
{
    if (modified == 1) {
        int answer = MessageBox("保存されていません。\n保存して終了しますか？", "保存の確認",
                                QuestionYesNoCancel);
        if (answer == IDYES) {
            if (SaveDocumentAs() == 1)
                DestroyWindow();
        } else if (answer == IDNO) {
            DestroyWindow();
        }
        return 0;
    }
    if (MessageBox("終了しますか？", "終了の確認", QuestionOkCancel) != IDCANCEL)
        DestroyWindow();
    return 0;
}

// Not built yet: the file commands arrive with the file object and dialogs.
int TestWindow::ChooseFile(int)
{
    return 0;
}

int TestWindow::OnOpen()
{
    return 0;
}

int TestWindow::OnSave()
{
    SaveDocument();
    return 0;
}

int TestWindow::OnSaveAs()
{
    SaveDocumentAs();
    return 0;
}

int TestWindow::SaveDocument()
{
    return 0;
}

int TestWindow::SaveDocumentAs()
{
    return 0;
}
