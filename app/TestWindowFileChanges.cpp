// The document against its file on disk: reading it again in an encoding of
// the user's choice, and noticing when another program changed or removed
// it (compared by size and last-write time with what was last read or
// written). Nothing the user typed is dropped without a question.
#include "app/TestWindow.h"

#include <algorithm>

#include "res/resource.h"

namespace {

constexpr UINT CautionYesNo = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2; // 0x134
constexpr UINT QuestionYesNo = MB_YESNO | MB_ICONQUESTION;                  // 0x24
constexpr UINT ErrorNotice = MB_OK | MB_ICONEXCLAMATION;                    // 0x30

const char* const UntitledName = "無題";

// The encoding of a 開き直す command; Auto has none.
bool EncodingOf(WORD id, TextEncoding* encoding)
{
    switch (id) {
    case IDM_REOPEN_SJIS: *encoding = TextEncoding::Cp932; return true;
    case IDM_REOPEN_UTF8: *encoding = TextEncoding::Utf8; return true;
    case IDM_REOPEN_UTF16LE: *encoding = TextEncoding::Utf16Le; return true;
    case IDM_REOPEN_UTF16BE: *encoding = TextEncoding::Utf16Be; return true;
    case IDM_REOPEN_EUCJP: *encoding = TextEncoding::EucJp; return true;
    default: return false;
    }
}

} // namespace

int TestWindow::OnReopen(WORD id)
{
    if (documentPath == UntitledName) {
        MessageBox("この文書はまだファイルに保存されていないため、開き直せません", "開き直す", ErrorNotice);
        return 0;
    }
    WriteRecoveryCopy(true); // what the reopen may throw away
    checkingDisk = true; // the question is about this very file
    const bool refused = modified == 1 && MessageBox("編集中の内容は失われます。\nファイルを開き直しますか？",
                                                     "開き直す", CautionYesNo) != IDYES;
    checkingDisk = false;
    if (refused)
        return 0;
    TextEncoding encoding;
    const bool chosen = EncodingOf(id, &encoding);
    encodingChosen = chosen;
    return ReloadKeepingPlace(chosen ? &encoding : nullptr) ? 1 : 0;
}

// The caret goes back to the start of its line, and the same line is at the
// top, as far as the new text reaches.
bool TestWindow::ReloadKeepingPlace(const TextEncoding* chosen, bool tellFailure)
{
    const size_t line = leftPane.LineFromPosition(leftPane.Caret());
    const size_t top = leftPane.FirstVisibleLine();
    if (LoadDocument(documentPath, chosen, tellFailure) != 1)
        return false;
    PlaceCaretAtLine(line, top);
    return true;
}

// As far as the text reaches.
void TestWindow::PlaceCaretAtLine(size_t line, size_t top)
{
    const size_t start = leftPane.LineStart(std::min(line, leftPane.LineCount() - 1));
    leftPane.SetSelection(start, start);
    leftPane.SetFirstVisibleLine(top);
}

void TestWindow::NoteFileStamp()
{
    fileStamp = FileStamp::Of(documentPath);
    declinedStamp = FileStamp();
}

// Only the file the stamp was taken of is looked at: while Save As asks its
// questions the document already carries the new name.
void TestWindow::CheckFileOnDisk()
{
    if (checkingDisk || documentPath == UntitledName || documentPath != fileStamp.Path() || !::IsWindowEnabled(hwnd))
        return;
    const FileStamp now = FileStamp::Of(documentPath);
    if (now == fileStamp || (declinedStamp.Exists() && now == declinedStamp))
        return;
    checkingDisk = true;
    const TextEncoding encoding = documentFormat.GetEncoding();
    const TextEncoding* chosen = encodingChosen ? &encoding : nullptr;
    if (!now.Exists()) {
        // The text is all there is now: it stays, and saving writes it again.
        fileStamp = now;
        fileDocument = nullptr;
        OnEditChange();
        statusBar.ShowNote("ファイルが削除または移動されました。保存するともう一度作られます");
    } else if (modified != 1) {
        if (ReloadKeepingPlace(chosen))
            statusBar.ShowNote("他のプログラムで変更されたため、読み込み直しました");
    } else if (MessageBox("ファイルが他のプログラムで変更されました。\n読み込み直しますか？（編集中の内容は失われます）",
                          "Quorvane", QuestionYesNo) == IDYES) {
        ReloadKeepingPlace(chosen);
    } else {
        declinedStamp = now;
    }
    checkingDisk = false;
}

// Only a file the editor read or wrote can have changed since; one that is
// gone is simply written again.
bool TestWindow::ConfirmOverwriteChanged()
{
    const FileStamp now = FileStamp::Of(documentPath);
    if (!fileStamp.Exists() || !now.Exists() || now == fileStamp || documentPath != fileStamp.Path())
        return true;
    return MessageBox("ファイルは開いた後に他のプログラムで変更されています。\n上書き保存しますか？", "保存の確認",
                      CautionYesNo) == IDYES;
}
