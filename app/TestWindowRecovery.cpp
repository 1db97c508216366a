// Recovery copies of the modified document and the last session: a copy is
// written 30 seconds after the last change (IntervalSeconds in [Recovery]), and at once before long work
// (grep, a listing, a reopen) or after a change of a megabyte or more; it
// goes when the document is saved, replaced by what the user chose instead,
// or given up at the end. At the
// start, copies that an editor left behind are offered back; without them
// (and without a file to open) the last session's file opens where it was.
#include "app/TestWindow.h"

#include <algorithm>
#include <cstdio>

#include "app/jump/CommandLine.h"
#include "app/settings/UserSettings.h"
#include "res/resource.h"

namespace {

const char* const UntitledName = "無題";
const char* const SessionSection = "Session";
// Seconds after the last change, unless the settings say otherwise.
constexpr int DefaultInterval = 30;
// Larger documents are copied only before long work: a copy every half
// minute would mean a second copy of them in memory as often.
constexpr size_t PeriodicCopyLimit = 64u << 20;
// A change this large (a paste, say) is copied at once.
constexpr size_t LargeChange = 1u << 20;
constexpr size_t MostListed = 10;

// "2026/12/10 09:41" in local time.
std::string LocalTimeText(uint64_t fileTime)
{
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    FILETIME local = {};
    SYSTEMTIME time = {};
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &time))
        return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
    return text;
}

size_t Difference(size_t a, size_t b)
{
    return a > b ? a - b : b - a;
}

} // namespace

void TestWindow::StartRecovery()
{
    if (recoveryFolder.Claim())
        recoveryWriter = std::make_unique<RecoveryWriter>(recoveryFolder.CopyPath(), hwnd, RecoveryWrittenMessage);
    recoveryDelayMs = static_cast<UINT>(std::max(1, UserSettings::Get().GetInt("Recovery", "IntervalSeconds", DefaultInterval))) * 1000;
    restoreSession = UserSettings::Get().GetInt(SessionSection, "Restore", 1) != 0;
    CheckMenuCommand(IDM_VIEW_LAST_SESSION, restoreSession);
    const bool restored = OfferLeftCopies();
    if (!restored && CommandLine::DocumentArgument(startCommandLine).empty())
        RestoreLastSession();
}

// No deletes only after a second question whose default keeps them, so a
// hasty key loses nothing.
bool TestWindow::OfferLeftCopies()
{
    const std::vector<RecoveryFolder::LeftCopy>& left = recoveryFolder.ClaimLeftCopies();
    if (left.empty())
        return false;
    std::string list;
    for (size_t i = 0; i < left.size() && i < MostListed; ++i) {
        RecoveryCopy header;
        const bool read = RecoveryFolder::Read(left[i].path, &header, true);
        list += "\n" + (!read ? left[i].path : header.documentPath.empty() ? UntitledName : header.documentPath) +
                "（" + LocalTimeText(left[i].written) + "）";
    }
    if (left.size() > MostListed)
        list += "\nほか " + std::to_string(left.size() - MostListed) + " 件";
    if (MessageBox("前回、保存されていない変更が残っています。\n復元しますか？\n" + list, "復元の確認",
                   MB_YESNO | MB_ICONQUESTION) == IDYES) {
        if (RestoreCopy(left.front().path)) {
            takingOver = recoveryWriter != nullptr;
            if (!takingOver)
                recoveryFolder.ReleaseLeftCopies();
            return true;
        }
        MessageBox("変更を復元できませんでした。残っている変更はそのままにしてあります。", "エラー",
                   MB_OK | MB_ICONEXCLAMATION);
    } else if (MessageBox("残っている変更を削除しますか？", "復元の確認",
                          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
        recoveryFolder.RemoveLeftCopies();
        return false;
    }
    recoveryFolder.ReleaseLeftCopies();
    return false;
}

// The copy's text becomes the document, modified, with its path, form,
// caret and what saving must ask; its file on disk is not read or touched.
// The copy becomes this editor's own, after any write of its own.
bool TestWindow::RestoreCopy(const std::string& path)
{
    RecoveryCopy copy;
    if (!RecoveryFolder::Read(path, &copy))
        return false;
    DocumentFormat format{TextEncoding(static_cast<TextEncoding::Kind>(copy.encoding))};
    format.SetLineEnds(static_cast<DocumentFormat::LineEnds>(copy.lineEnds));
    if (copy.markless)
        format.LeaveOutMark();
    format.PreparePane(leftPane);
    leftPane.KeepHistory(false);
    leftPane.SetBytes(copy.text);
    leftPane.KeepHistory(true);
    if (leftPane.Length() != copy.text.size())
        return false;
    documentPath = copy.documentPath.empty() ? UntitledName : copy.documentPath;
    documentFormat = format;
    encodingChosen = true;
    lossy = copy.lossy ? 1 : 0;
    fileDocument = nullptr; // no pane holds the file's own text
    modified = 0;
    if (recoveryWriter != nullptr)
        recoveryWriter->TakeOver(path);
    copyWritten = true;
    copiedLength = leftPane.Length();
    changedSinceCopy = 0;
    OnEditChange();
    const size_t caret = std::min<size_t>(static_cast<size_t>(copy.caret), leftPane.Length());
    leftPane.SetSelection(caret, caret);
    NoteFileStamp();
    // A save asks before writing over a file changed since the copy; the
    // change the user restored over is not asked about again.
    if (copy.fileKnown) {
        declinedStamp = fileStamp;
        fileStamp = FileStamp(documentPath, copy.fileSize, copy.fileWritten);
    }
    return true;
}

void TestWindow::NoteDocumentChange(size_t bytes)
{
    if (recoveryWriter == nullptr)
        return;
    changedSinceCopy += bytes;
    if (!changePending)
        changePending = ::PostMessageA(hwnd, DocumentChangedMessage, 0, 0) != FALSE;
}

// Every change of the document comes here: its mark (OnEditChange) and, once
// the command that made them is done, its insertions and deletions.
void TestWindow::ScheduleRecoveryCopy()
{
    if (recoveryWriter == nullptr)
        return;
    if (modified != 1) {
        if (copyWritten)
            RemoveRecoveryCopy(); // back at the file's text: nothing to recover
        ::KillTimer(hwnd, RecoveryTimerId);
        return;
    }
    if (changedSinceCopy >= LargeChange || Difference(leftPane.Length(), copiedLength) >= LargeChange)
        WriteRecoveryCopy(true);
    else
        ::SetTimer(hwnd, RecoveryTimerId, recoveryDelayMs, nullptr);
}

// A snapshot of the document goes to the writer's thread; the disk is its
// business. A snapshot that finds no memory is a failed write.
void TestWindow::WriteRecoveryCopy(bool beforeLongWork)
{
    ::KillTimer(hwnd, RecoveryTimerId);
    if (recoveryWriter == nullptr || modified != 1 || (!beforeLongWork && leftPane.Length() > PeriodicCopyLimit))
        return;
    try {
        RecoveryCopy copy;
        copy.documentPath = documentPath == UntitledName ? std::string() : documentPath;
        copy.encoding = documentFormat.GetEncoding().GetKind();
        copy.lineEnds = static_cast<int>(documentFormat.GetLineEnds());
        copy.caret = leftPane.Caret();
        copy.lossy = lossy != 0;
        copy.markless = documentFormat.LeavesOutMark();
        copy.fileKnown = fileStamp.Exists() && fileStamp.Path() == documentPath;
        copy.fileSize = fileStamp.Size();
        copy.fileWritten = fileStamp.Written();
        copy.text = std::string(leftPane.Bytes());
        // After a Save As whose reading back failed the pane holds the text
        // in its old form: the copy holds it in the form its header names.
        if (!documentFormat.IsHeldBy(leftPane)) {
            std::string beforeCaret(leftPane.Bytes(0, leftPane.Caret()));
            size_t lost = 0;
            if (!documentFormat.ToPaneFrom(copy.text, leftPane.CodePage(), &lost) ||
                !documentFormat.ToPaneFrom(beforeCaret, leftPane.CodePage(), &lost)) {
                HandleRecoveryWritten(RecoveryWriter::Failed);
                return;
            }
            copy.caret = beforeCaret.size();
        }
        copiedLength = copy.text.size();
        changedSinceCopy = 0;
        recoveryWriter->Write(std::move(copy));
        copyWritten = true;
    } catch (const std::bad_alloc&) {
        HandleRecoveryWritten(RecoveryWriter::Failed);
    }
}

void TestWindow::RemoveRecoveryCopy()
{
    ::KillTimer(hwnd, RecoveryTimerId);
    if (recoveryWriter != nullptr && copyWritten)
        recoveryWriter->Remove();
    copyWritten = false;
    copiedLength = 0;
    changedSinceCopy = 0;
}

// Told once, never as a box: the user is typing. A restored copy that could
// not be taken over is written anew.
void TestWindow::HandleRecoveryWritten(RecoveryWriter::Outcome outcome)
{
    if (takingOver) { // the takeover is the first task a restore queues
        takingOver = false;
        recoveryFolder.ReleaseLeftCopies();
    }
    if (outcome == RecoveryWriter::NotTakenOver) {
        copiedLength = 0;
        WriteRecoveryCopy(true);
        return;
    }
    if (outcome == RecoveryWriter::Written) {
        recoveryFailureTold = false;
        return;
    }
    if (!recoveryFailureTold)
        statusBar.ShowNote("復元用のコピーを保存できませんでした");
    recoveryFailureTold = true;
}

// At a normal end: the document's file and where the user was in it.
void TestWindow::RememberSession()
{
    UserSettings& settings = UserSettings::Get();
    const bool named = documentPath != UntitledName;
    settings.SetString(SessionSection, "File", named ? documentPath : std::string());
    settings.SetInt(SessionSection, "Line", static_cast<int>(leftPane.LineFromPosition(leftPane.Caret())));
    settings.SetInt(SessionSection, "TopLine", static_cast<int>(leftPane.FirstVisibleLine()));
}

void TestWindow::RestoreLastSession()
{
    const UserSettings& settings = UserSettings::Get();
    const std::string path = settings.GetString(SessionSection, "File", "");
    if (!restoreSession || path.empty() || ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    if (LoadDocument(path, nullptr) != 1)
        return;
    PlaceCaretAtLine(static_cast<size_t>(std::max(0, settings.GetInt(SessionSection, "Line", 0))),
                     static_cast<size_t>(std::max(0, settings.GetInt(SessionSection, "TopLine", 0))));
}

int TestWindow::OnLastSessionChoice()
{
    restoreSession = !restoreSession;
    UserSettings::Get().SetInt(SessionSection, "Restore", restoreSession ? 1 : 0);
    CheckMenuCommand(IDM_VIEW_LAST_SESSION, restoreSession);
    return 0;
}
