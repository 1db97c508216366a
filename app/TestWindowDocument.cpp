// The document commands: open, save, save as, the modified mark and the close
// question. The document is the left pane's text with its path. No command
// may lose the user's text or report a failed save as done: a failed open or
// save puts the path and caption back and leaves the mark as it was.
#include <cstring>
#include <string>

#include "app/TestWindow.h"
#include "util/File.h"
#include "util/FileDialog.h"
#include "util/FileFilter.h"
#include "util/SaveFileSafely.h"

namespace {
constexpr UINT QuestionYesNoCancel = MB_YESNOCANCEL | MB_ICONQUESTION;            // 0x23
constexpr UINT QuestionOkCancel = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2; // 0x121
constexpr UINT ErrorNotice = MB_OK | MB_ICONEXCLAMATION;                          // 0x30
constexpr int OpenDialogFlags = OFN_READONLY | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST; // 0x1005
constexpr int SaveDialogFlags = OpenDialogFlags | OFN_OVERWRITEPROMPT;              // 0x1007
constexpr int OpenMode = 1;
constexpr int SaveMode = 0;

const char* const UntitledName = "無題";
const char* const PlainSuffix = " - Quorvane";

// Reads the whole file into text, cut at its first zero byte. 0 when the file
// cannot be opened, is 4 GiB or more (GetSize refuses those), does not fit in
// memory or cannot be read whole.
int ReadDocumentFile(const std::string& path, std::string& text)
{
    File FileOpen;
    if (!FileOpen.Open(path, 1, 0))
        return 0;
    DWORD size = FileOpen.GetSize();
    if (size == INVALID_FILE_SIZE)
        return 0;

    std::string textBuf;
    try {
        textBuf.resize(size);
    } catch (...) {
        return 0; // more than memory allows
    }
    if (size > 0 && !FileOpen.ReadExact(&textBuf[0], size))
        return 0;
    FileOpen.Close();

    textBuf.resize(std::strlen(textBuf.c_str()));
    text.swap(textBuf);
    return 1;
}

// Puts the file's text into the pane. On failure the pane keeps its text.
int LoadDocument(EditControl& pane, const std::string& path)
{
    std::string textBuf;
    if (ReadDocumentFile(path, textBuf) != 1)
        return 0;
    std::string previousText = pane.GetText();
    if (!pane.SetText(textBuf)) {
        pane.SetText(previousText);
        return 0;
    }
    return 1;
}

// Writes the pane's text, as the Edit control holds it, to path. The file is
// replaced only once the whole text is written, so a failure leaves the
// previous file as it was.
int WriteDocument(EditControl& pane, const std::string& path)
{
    std::string textBuf = pane.GetText();
    // A text that could not be copied out of the pane reads as empty; writing
    // that would empty the file and drop the mark over text still unsaved.
    if (textBuf.empty() && pane.GetTextLength() > 0)
        return 0;
    return SaveFileSafely(path, textBuf.data(), textBuf.size());
}
} // namespace

int TestWindow::OnEditChange()
{
    SetCaptionFor(" - Quorvane（更新）");
    modified = 1;
    return 0;
}

// Ending after "Yes" only when the document really reached its file: a
// cancelled or failed save keeps the window and the text.
int TestWindow::AskToSaveBeforeEnd()
{
    int answer = MessageBox("保存されていません。\n保存して終了しますか？", "保存の確認",
                            QuestionYesNoCancel);
    if (answer == IDYES)
        return SaveDocumentAs() == 1 ? 1 : 0;
    return answer == IDNO ? 1 : 0;
}

int TestWindow::HandleClose()
{
    if (modified == 1) {
        if (AskToSaveBeforeEnd() == 1)
            DestroyWindow();
        return 0;
    }
    if (MessageBox("終了しますか？", "終了の確認", QuestionOkCancel) != IDCANCEL)
        DestroyWindow();
    return 0;
}

// Shows the Open (mode 1) or Save As (mode 0) dialog. A chosen file becomes
// the document's name and caption at once; callers that then fail to use it
// put the old ones back.
int TestWindow::ChooseFile(int mode)
{
    const FileFilter filter[] = {
        {"*.txt", "テキストファイル (*.txt)"},
        {"*.log", "ログファイル (*.log)"},
        {"*.ini", "iniファイル (*.ini)"},
        {"*.*", "全てのファイル (*.*)"},
    };
    FileDialog opnfl;
    opnfl.AddFilters(filter, static_cast<int>(sizeof(filter) / sizeof(filter[0])));
    if (mode == SaveMode)
        opnfl.SetFlags(SaveDialogFlags);
    if (opnfl.Show(*this, mode) == 0)
        return 0;
    documentPath = opnfl.GetFileName();
    SetCaptionFor(PlainSuffix);
    return 1;
}

// A modified document is offered Save As first: 1 when the document may be
// replaced (saved for real, or "No"), 0 when it must stay.
int TestWindow::AskToSaveFirst()
{
    if (modified != 1)
        return 1;
    int answer = MessageBox("保存されていません。\n保存しますか？", "保存の確認", QuestionYesNoCancel);
    if (answer == IDYES)
        return SaveDocumentAs() == 1 ? 1 : 0;
    return answer == IDNO ? 1 : 0;
}

// Loads path as the document. On failure the user is told, and the text,
// its name and caption stay as they were.
int TestWindow::OpenDocumentFile(const std::string& path)
{
    if (LoadDocument(leftPane, path) != 1) {
        MessageBox("ファイルを開けませんでした", "エラー", ErrorNotice);
        return 0;
    }
    documentPath = path;
    // Setting the text is no edit (a multi-line Edit control sends no
    // EN_CHANGE for it); the plain caption is set afterwards all the same.
    SetCaptionFor(PlainSuffix);
    leftPane.SetFocus();
    modified = 0;
    NoteRecentFile(path);
    return 1;
}

// The chosen name shows in the caption while the file loads; OpenDocumentFile
// sets it for good once the text is in.
int TestWindow::OnOpen()
{
    if (AskToSaveFirst() != 1)
        return 0;
    std::string previousPath = documentPath;
    std::string previousCaption = GetText();
    if (ChooseFile(OpenMode) != 1)
        return 0;
    std::string chosen = documentPath;
    documentPath = previousPath;
    if (OpenDocumentFile(chosen) != 1)
        SetText(previousCaption);
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

// Save of a named document writes over its file; an untitled one goes to
// Save As. 1 only when the text reached the file.
int TestWindow::SaveDocument()
{
    if (documentPath == UntitledName)
        return SaveDocumentAs();
    if (WriteDocument(leftPane, documentPath) != 1) {
        MessageBox("ファイルを保存できませんでした", "エラー", ErrorNotice);
        return 0;
    }
    SetCaptionFor(PlainSuffix);
    leftPane.SetFocus();
    modified = 0;
    NoteRecentFile(documentPath);
    return 1;
}

// The chosen name is kept only when the text reached that file.
int TestWindow::SaveDocumentAs()
{
    std::string previousPath = documentPath;
    std::string previousCaption = GetText();
    if (ChooseFile(SaveMode) != 1)
        return 0;
    if (WriteDocument(leftPane, documentPath) != 1) {
        documentPath = previousPath;
        SetText(previousCaption);
        MessageBox("ファイルを保存できませんでした", "エラー", ErrorNotice);
        return 0;
    }
    leftPane.SetFocus();
    modified = 0;
    NoteRecentFile(documentPath);
    return 1;
}
