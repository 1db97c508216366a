// TestWindow: Quorvane's main window. It holds the two Scintilla panes side
// by side (the document on the left, generated text on the right), the
// document's path, form and modified state, and runs every menu command.
// Owned by value by TestApp for the whole run.
#pragma once

#include <memory>
#include <string>

#include "app/documents/DocumentFormat.h"
#include "app/documents/DocumentLoad.h"
#include "app/documents/FileStamp.h"
#include "app/folders/BackgroundRun.h"
#include "app/folders/GrepDialog.h"
#include "app/search/ReplaceDialog.h"
#include "app/jump/JumpHistory.h"
#include "app/settings/PaneFont.h"
#include "app/documents/RecentFiles.h"
#include "app/jump/ResultPaneKeys.h"
#include "app/recovery/RecoveryFolder.h"
#include "app/recovery/RecoveryWriter.h"
#include "app/search/SearchDialog.h"
#include "app/status/StatusBar.h"
#include "framework/ScintillaControl.h"
#include "framework/Size.h"
#include "framework/Window.h"

#include <shellapi.h> // HDROP

class SaveFormatPart;

class TestWindow : public Window {
public:
    TestWindow();
    ~TestWindow() override;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The program's start, once the window exists: the saved placement, the
    // focus in the document, the changes an editor that ended abnormally
    // left (offered back), and the file named on the command line (the
    // whole line, program name first; opened once the message loop runs) or
    // else the last session's. The placement and the session are saved
    // when the window goes.
    void Start(const std::string& commandLine);

protected:
    // Creation, layout and commands, one operation per menu command.
    int HandleCreate();
    int HandleSize(WPARAM sizeType, Size clientSize);
    int RunCommand(WORD id);

    // Documents.
    // Save As shows the encoding and line-end lists of part when given.
    int ChooseFile(int mode, SaveFormatPart* part = nullptr);
    int OnOpen();
    int OnSave();
    int OnSaveAs();
    // Brings the mark and caption up to date with the document's state.
    int OnEditChange();
    // Whether the left pane holds other text than the document's file.
    bool DocumentModified();
    // After an open or a save: the left pane holds the file's text.
    void MarkSaved();
    int HandleClose();
    bool TextHalfChanged();
    // The exit question for a modified document; 1 when the program may end.
    int AskToSaveBeforeEnd();
    // Save and SaveAs report here whether the document really reached its file.
    int SaveDocument();
    int SaveDocumentAs();
    bool ConfirmLossySave();
    // After a file was written in another form than the pane holds.
    void ReadBackSaved(const DocumentFormat& written);

    // Undo and redo in the pane that has the focus.
    int OnUndo();
    int OnRedo();
    // Swap, wallpaper, About.
    int OnSwapText();
    int OnChangeWallpaper();
    int OnAbout();

    // Search and find next.
    int OnSearch();
    int OnFindNext();
    int OnReplace();

    // Recent files and font, kept in the user's settings.
    void LoadUserChoices();
    void ShowRecentFiles();
    void NoteRecentFile(const std::string& path);
    int OnRecentFile(WORD id);
    int OnFont();

    // Folder listing and grep.
    int OnListDirectory();
    std::string ListDirectory(std::string folder);
    int OnGrep();
    std::string GrepDirectory(std::string folder);
    bool StartGrep(const std::string& folder, const std::string& text, const std::string& masks,
                   const std::string& excludedFolders, SearchOptions options);
    // Stops a listing or grep that is going, after asking, before a command
    // that needs the right pane.
    bool AskToStopRun();

    void SetCaptionFor(const char* suffix);

    // Messages the system sends for the user: end of session, re-activation.
    LRESULT HandleQueryEndSession();
    int HandleActivate(WPARAM state);
    // Opening a named file (tag jump, command line, drop): the modified
    // document's question first, then the file as 開く loads it.
    int AskToSaveFirst();
    int OpenDocumentFile(const std::string& path);
    // The same in an encoding of the user's choice when `chosen` is given;
    // without tellFailure a failure is for the caller to tell.
    int LoadDocument(const std::string& path, const TextEncoding* chosen, bool tellFailure = true);

    // ファイル → 開き直す: the document read again from its file in the
    // encoding of the command (asking first when it is modified).
    int OnReopen(WORD id);
    // Changes on disk, when the window is activated: the unmodified document
    // is read again, keeping the caret's line and the scroll; the modified
    // one asks first; a file that went leaves the document modified.
    void CheckFileOnDisk();
    bool ReloadKeepingPlace(const TextEncoding* chosen, bool tellFailure = true);
    // The caret at the start of a line (0-based), and line top at the top.
    void PlaceCaretAtLine(size_t line, size_t top);
    // Before a save over the document's file: false when it changed on disk
    // and the user chose not to write over it.
    bool ConfirmOverwriteChanged();
    void NoteFileStamp();

    // 表示: the status bar, line numbers, word wrap (remembered) and zoom.
    void LoadViewChoices();
    void ApplyViewChoices();
    void ApplyWrap();
    int OnViewChoice(WORD id);
    void CheckMenuCommand(UINT id, bool checked);
    int OnZoom(WORD id);
    void FollowZoom(ScintillaControl& from);
    // The status bar describes the pane that has the focus.
    void UpdateStatus();
    static constexpr UINT_PTR StatusTimerId = 0x5354;
    LRESULT HandlePaneNotify(const NMHDR& header);

    // Recovery copies of the modified document and the last session (see
    // TestWindowRecovery.cpp). Nothing of it runs before Start.
    void StartRecovery();
    bool OfferLeftCopies();
    bool RestoreCopy(const std::string& path);
    // Each insertion or deletion in the document: counted here, acted on
    // once the command that made it is done.
    void NoteDocumentChange(size_t bytes);
    void ScheduleRecoveryCopy();
    void WriteRecoveryCopy(bool beforeLongWork);
    void RemoveRecoveryCopy();
    void HandleRecoveryWritten(RecoveryWriter::Outcome outcome);
    void RememberSession();
    void RestoreLastSession();
    int OnLastSessionChoice();
    static constexpr UINT RecoveryWrittenMessage = WM_APP + 0x60;
    static constexpr UINT DocumentChangedMessage = WM_APP + 0x61;
    static constexpr UINT_PTR RecoveryTimerId = 0x5243;

    // Shortcuts, tag jump, go to line, dropped files.
    int OnFindPrevious();
    int OnSelectAll();
    int OnGoToLine();
    int OnTagJump(int quiet);
    int OnTagJumpBack();
    int OnOpenStartArgument();
    int OnDropFiles(HDROP drop);
    int GoToDocument(const std::string& path);
    void SelectInDocument(size_t anchor, size_t caret);
    // The right pane made ready for a run's results: a document of its own,
    // never the file's.
    ScintillaControl& ResultPane();

    SearchDialog searchDialog;
    GrepDialog grepDialog;
    ReplaceDialog replaceDialog;
    // Case and whole-word choices, shared by the search and replace dialogs
    // for the session.
    SearchOptions searchOptions;
    RecentFiles recentFiles;
    PaneFont paneFont;
    ScintillaControl leftPane;
    ScintillaControl rightPane;
    std::string documentPath;
    // The form of the document's file, and whether the pane could not hold
    // that file exactly (saving over it then asks first). The right pane's
    // text has a form too, which a swap brings to the left.
    DocumentFormat documentFormat;
    DocumentFormat otherFormat;
    int lossy = 0;
    // The Scintilla document last opened or saved as the file; only
    // compared, never used, and null when no pane holds it any more.
    void* fileDocument = nullptr;
    // The Scintilla document last given to a run's results; only compared.
    void* resultsDocument = nullptr;
    // When an open shows its progress window, and how it reads.
    DocumentLoad::Pace loadPace;
    std::string lastSearchText;
    std::string grepText;
    int modified = 0;
    // The pane that gets the keyboard focus back when the window is activated.
    ScintillaControl* focusPane = &leftPane;
    ResultPaneKeys resultPaneKeys;
    JumpHistory jumpHistory;
    std::string startCommandLine;
    int keepsPlacement = 0;
    BackgroundRun backgroundRun;
    StatusBar statusBar;
    bool showStatusBar = true;
    bool showLineNumbers = false;
    bool wordWrap = false;
    // The status bar told that this document is too large to wrap.
    bool wrapRefusalTold = false;
    // The document's file as last read or written, and a change the user
    // chose to keep the text over (asked again only after the next one).
    FileStamp fileStamp;
    FileStamp declinedStamp;
    bool checkingDisk = false;
    // The document's encoding was the user's choice (reopen, Save As): a
    // reload keeps it rather than looking at the bytes again.
    bool encodingChosen = false;
    RecoveryFolder recoveryFolder;
    std::unique_ptr<RecoveryWriter> recoveryWriter;
    // A copy was asked for since the document was last saved or given up,
    // the document's length in the last one, and the bytes inserted or
    // deleted since (a change told but not yet acted on is pending).
    bool copyWritten = false;
    size_t copiedLength = 0;
    size_t changedSinceCopy = 0;
    bool changePending = false;
    bool recoveryFailureTold = false;
    // The restored copy is still on its way to being this editor's: the
    // left copies stay claimed until then, so no editor starting meanwhile
    // offers it again.
    bool takingOver = false;
    UINT recoveryDelayMs = 30 * 1000;
    bool restoreSession = true;
};
