// The document commands: open, save, save as, the modified mark and the close
// question. The document is the left pane's text with its path. No command
// may lose the user's text or report a failed save as done: a failed open or
// save puts the path and caption back and leaves the mark as it was, and a
// failed save names any other file that now holds the text.
#include <string>

#include "app/TestWindow.h"
#include "app/encodings/SaveFormatPart.h"
#include "util/File.h"
#include "util/FileDialog.h"
#include "util/FileFilter.h"
#include "util/SaveFileSafely.h"
#include "util/WaitCursor.h"

namespace {
constexpr UINT QuestionYesNoCancel = MB_YESNOCANCEL | MB_ICONQUESTION;            // 0x23
constexpr UINT QuestionOkCancel = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2; // 0x121
constexpr UINT ErrorNotice = MB_OK | MB_ICONEXCLAMATION;                          // 0x30
constexpr UINT CautionYesNo = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;     // 0x134
constexpr int OpenDialogFlags = OFN_READONLY | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST; // 0x1005
// OFN_FILEMUSTEXIST is for opening: a save dialog that honours it refuses
// every new name.
constexpr int SaveDialogFlags =
    OFN_READONLY | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST; // 0x0807
constexpr int OpenMode = 1;
constexpr int SaveMode = 0;

const char* const UntitledName = "無題";
const char* const PlainSuffix = " - Quorvane";

// What of a file the pane could not hold as it is: the unpaired surrogates
// of a UTF-16 file, or bytes that came back otherwise than they were read.
struct OpenLoss {
    size_t unshown = 0;
    bool changedByPane = false;

    bool Any() const { return unshown > 0 || changedByPane; }
    std::string Message() const
    {
        std::string text = "このファイルは、そのままの内容では表示できません。\n";
        if (unshown > 0)
            text += "\n" + std::to_string(unshown) +
                    " 文字はこの画面で表示できない文字のため、「?」で表示しています。保存すると「?」に置き換わります。";
        if (changedByPane)
            text += "\nこの画面で表示できないバイトが含まれています。保存すると別のバイトに置き換わります。";
        return text + "\n\n上書き保存すると、ファイルの内容が変わります。";
    }
};

// Writes the pane's bytes, in the file's own form, to path: straight from
// the pane where the form needs no conversion. The file is replaced only
// once the whole text is written, so a failure leaves the previous file as
// it was, or failure says where its bytes or the new text are.
int WriteDocument(ScintillaControl& pane, const std::string& path, const DocumentFormat& format,
                  SaveFailure* failure)
{
    WaitCursor wait;
    std::string converted;
    FileContents contents;
    if (!format.ToFile(pane.Bytes(), converted, &contents))
        return 0;
    return SaveFileSafely(path, contents, failure);
}

// The same in another form than the pane's (a Save As in another encoding or
// with other line ends); when the new form cannot hold every character, the
// user chooses first (No is the default), and a refusal writes nothing.
int WriteDocumentAs(Window& owner, ScintillaControl& pane, const std::string& path, const DocumentFormat& format,
                    SaveFailure* failure, bool* refused)
{
    WaitCursor wait;
    std::string converted;
    FileContents contents;
    size_t lost = 0;
    if (!format.ToFileFrom(pane.Bytes(), pane.CodePage(), converted, &contents, &lost))
        return 0;
    if (lost > 0) {
        const std::string question = "選択した文字コードで表せない文字が " + std::to_string(lost) +
                                     " 文字あります。保存すると「?」に置き換わり、ファイルの内容が変わります。\n保存しますか？";
        if (owner.MessageBox(question, "保存の確認", CautionYesNo) != IDYES) {
            *refused = true;
            return 0;
        }
    }
    return SaveFileSafely(path, contents, failure);
}

// The message of a failed save: when a file other than the document's now
// holds the new text or the old bytes, the user must learn its name.
std::string SaveErrorText(const SaveFailure& failure)
{
    switch (failure.kind) {
    case SaveFailure::Kind::NewTextKept:
        return "ファイルを保存できませんでした。\n元のファイルの名前で保存できず、その名前のファイルはなくなっています。\n"
               "新しい内容は次のファイルに残っています: " +
               failure.path;
    case SaveFailure::Kind::OldBytesKept:
        return "ファイルを保存できませんでした。\nファイルは途中まで書き換えられ、元に戻せませんでした。\n"
               "元の内容は次のファイルに残っています: " +
               failure.path;
    case SaveFailure::Kind::NoBackup:
        return "ファイルを保存できませんでした。\n元の内容の控えを保存先のフォルダーにも一時フォルダーにも作れないため、"
               "ファイルは変更していません。";
    case SaveFailure::Kind::Unchanged:
        break;
    }
    return "ファイルを保存できませんでした";
}

// No look at the disk while a save asks its questions: the file is about to
// be written, and Save As gives the document its new name before that.
class DiskCheckPause {
public:
    explicit DiskCheckPause(bool& paused) : paused(paused), was(paused) { paused = true; }
    DiskCheckPause(const DiskCheckPause&) = delete;
    DiskCheckPause& operator=(const DiskCheckPause&) = delete;
    ~DiskCheckPause() { paused = was; }

private:
    bool& paused;
    bool was;
};

// Whether two names reach one file. An 8.3 name, a link or a mapped drive
// spell a file differently, so its identity decides; names are compared
// only where a file cannot be asked.
bool SameFile(const std::string& one, const std::string& other)
{
    BY_HANDLE_FILE_INFORMATION first = {};
    BY_HANDLE_FILE_INFORMATION second = {};
    if (File::QueryInformation(one, &first) && File::QueryInformation(other, &second))
        return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
               first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
    return ::lstrcmpiA(one.c_str(), other.c_str()) == 0;
}
} // namespace

// A large すべて置換 puts its pieces in with the window answering, the pane
// read-only between them: until the last, no question may offer to save
// the half-replaced text, and nothing may end the program under it.
bool TestWindow::TextHalfChanged()
{
    return leftPane.IsReadOnly();
}

bool TestWindow::DocumentModified()
{
    return leftPane.Document() != fileDocument || leftPane.IsModified();
}

int TestWindow::OnEditChange()
{
    const int now = DocumentModified() ? 1 : 0;
    if (now != modified)
        SetCaptionFor(now == 1 ? " - Quorvane（更新）" : PlainSuffix);
    modified = now;
    ScheduleRecoveryCopy();
    return 0;
}

// The document is its file's text as it is now: known as the file's before
// the save point tells, so that it never counts as modified on the way.
void TestWindow::MarkSaved()
{
    fileDocument = leftPane.Document();
    leftPane.SetSavePoint();
    modified = 0;
    lossy = 0;
    RemoveRecoveryCopy();
    NoteFileStamp();
}

// Ending after "Yes" only when the document really reached its file: a
// cancelled or failed save keeps the window and the text.
int TestWindow::AskToSaveBeforeEnd()
{
    int answer = MessageBox("保存されていません。\n保存して終了しますか？", "保存の確認",
                            QuestionYesNoCancel);
    if (answer == IDYES)
        return SaveDocumentAs() == 1 ? 1 : 0;
    if (answer != IDNO)
        return 0;
    RemoveRecoveryCopy(); // the user gave the changes up
    return 1;
}

int TestWindow::HandleClose()
{
    if (TextHalfChanged())
        return 0;
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
int TestWindow::ChooseFile(int mode, SaveFormatPart* part)
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
    if (part != nullptr)
        part->AttachTo(opnfl);
    if (opnfl.Show(*this, mode) == 0)
        return 0;
    documentPath = opnfl.GetFileName();
    SetCaptionFor(PlainSuffix);
    return 1;
}

// A modified document is offered Save As first: 1 when the document may be
// replaced (saved for real, or "No"), 0 when it must stay. After "No" its
// recovery copy stays until a file has replaced it.
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
    encodingChosen = false;
    return LoadDocument(path, nullptr);
}

int TestWindow::LoadDocument(const std::string& path, const TextEncoding* chosen, bool tellFailure)
{
    DocumentLoad load;
    load.SetPace(loadPace);
    if (chosen != nullptr)
        load.SetEncoding(*chosen);
    // A change on disk is not looked for while the file is being read.
    const bool wasChecking = checkingDisk;
    checkingDisk = true;
    const DocumentLoad::Result read = load.Run(*this, leftPane, path);
    checkingDisk = wasChecking;
    if (read == DocumentLoad::Result::Stopped) {
        leftPane.SetFocus();
        return 0;
    }
    if (read != DocumentLoad::Result::Loaded) {
        if (tellFailure)
            MessageBox(read == DocumentLoad::Result::TooLarge ? "ファイルが大きすぎるため開けませんでした"
                                                              : "ファイルを開けませんでした",
                       "エラー", ErrorNotice);
        return 0;
    }
    documentPath = path;
    documentFormat = load.Format();
    OpenLoss loss;
    loss.unshown = load.Lost();
    loss.changedByPane = load.ChangedByPane();
    MarkSaved();
    // The file as it was before the reading: one that kept changing while it
    // was read is not taken for the text shown.
    fileStamp = load.Stamp();
    SetCaptionFor(PlainSuffix);
    leftPane.SetFocus();
    NoteRecentFile(path);
    statusBar.ShowNote(load.InSync() ? "" : "ファイルは読み込み中も変更され続けました。表示しているのは最後に読んだ内容です");
    wrapRefusalTold = false;
    ApplyWrap();
    UpdateStatus();
    lossy = loss.Any() ? 1 : 0;
    if (lossy)
        MessageBox(loss.Message(), "警告", ErrorNotice);
    return 1;
}

// The caption keeps the open document's name while the file loads (the
// progress window names the file); OpenDocumentFile sets the new one once
// the text is in.
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
    SetText(previousCaption);
    OpenDocumentFile(chosen);
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
    DiskCheckPause pause(checkingDisk);
    if (!ConfirmLossySave() || !ConfirmOverwriteChanged())
        return 0;
    SaveFailure failure;
    bool refused = false;
    const bool converts = !documentFormat.IsHeldBy(leftPane);
    const int written = converts
                            ? WriteDocumentAs(*this, leftPane, documentPath, documentFormat, &failure, &refused)
                            : WriteDocument(leftPane, documentPath, documentFormat, &failure);
    if (written != 1) {
        if (!refused)
            MessageBox(SaveErrorText(failure), "エラー", ErrorNotice);
        return 0;
    }
    MarkSaved();
    SetCaptionFor(PlainSuffix);
    leftPane.SetFocus();
    NoteRecentFile(documentPath);
    if (converts)
        ReadBackSaved(documentFormat);
    return 1;
}

// Writing over the file of a document the pane could not show exactly
// changes that file: only after the user agreed.
bool TestWindow::ConfirmLossySave()
{
    return lossy == 0 ||
           MessageBox("このファイルは開いたときの内容をそのまま表示できていないため、保存するとファイルの内容が変わります。\n保存しますか？",
                      "保存の確認", CautionYesNo) == IDYES;
}

// The chosen name is kept only when the text reached that file. A file
// written in another form than the pane holds is read back from disk, so
// that the pane shows what the file now is.
int TestWindow::SaveDocumentAs()
{
    std::string previousPath = documentPath;
    std::string previousCaption = GetText();
    const ScintillaControl::LineEnding typed = leftPane.GetLineEnding();
    SaveFormatPart part(documentFormat, typed == ScintillaControl::LineEnding::Lf   ? DocumentFormat::LineEnds::Lf
                                        : typed == ScintillaControl::LineEnding::Cr ? DocumentFormat::LineEnds::Cr
                                                                                    : DocumentFormat::LineEnds::CrLf);
    DiskCheckPause pause(checkingDisk);
    if (ChooseFile(SaveMode, &part) != 1)
        return 0;
    // Only another file goes unasked; the same file is written over as by Save.
    bool refused = SameFile(documentPath, previousPath) && (!ConfirmLossySave() || !ConfirmOverwriteChanged());
    SaveFailure failure;
    const bool converts = part.ChangesForm() || !documentFormat.IsHeldBy(leftPane);
    const int written = refused    ? 0
                        : converts ? WriteDocumentAs(*this, leftPane, documentPath, part.Chosen(), &failure, &refused)
                                   : WriteDocument(leftPane, documentPath, documentFormat, &failure);
    if (written != 1) {
        documentPath = previousPath;
        SetText(previousCaption);
        if (!refused)
            MessageBox(SaveErrorText(failure), "エラー", ErrorNotice);
        return 0;
    }
    MarkSaved();
    leftPane.SetFocus();
    NoteRecentFile(documentPath);
    if (converts)
        ReadBackSaved(part.Chosen());
    return 1;
}

// The file is read back so that the pane shows what it now is. Its form is
// the document's whatever that reading does: when it fails or is stopped the
// pane keeps the text in its old form, and the next save converts it again.
void TestWindow::ReadBackSaved(const DocumentFormat& written)
{
    documentFormat = written;
    encodingChosen = true;
    SetCaptionFor(PlainSuffix);
    const TextEncoding encoding = written.GetEncoding();
    if (!ReloadKeepingPlace(&encoding, false))
        MessageBox(std::string("ファイルは ") + encoding.GetName() +
                       " で保存しました。\nただし、保存したファイルを読み込み直せなかったため、画面の表示は保存前のままです。"
                       "次の上書き保存も " + encoding.GetName() + " で行います。",
                   "警告", ErrorNotice);
}
