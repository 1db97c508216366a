// TestWindow: Quorvane's main window. It holds the two Edit panes side by
// side (the document on the left, generated text on the right), the document's
// path and modified flag, and runs every menu command. Owned by value by
// TestApp for the whole run.
#pragma once

#include <string>

#include "app/documents/DocumentFormat.h"
#include "app/folders/BackgroundRun.h"
#include "app/folders/GrepDialog.h"
#include "app/search/ReplaceDialog.h"
#include "app/jump/JumpHistory.h"
#include "app/settings/PaneFont.h"
#include "app/documents/RecentFiles.h"
#include "app/jump/ResultPaneKeys.h"
#include "app/search/SearchDialog.h"
#include "framework/EditControl.h"
#include "framework/Size.h"
#include "framework/Window.h"

#include <shellapi.h> // HDROP

class TestWindow : public Window {
public:
    TestWindow();
    ~TestWindow() override;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The program's start, once the window exists: the saved placement, the
    // focus in the document, and the file named on the command line (the
    // whole line, program name first; opened once the message loop runs).
    // The placement is saved when the window goes.
    void Start(const std::string& commandLine);

protected:
    // Creation, layout and commands, one operation per menu command.
    int HandleCreate();
    int HandleSize(WPARAM sizeType, Size clientSize);
    int RunCommand(WORD id);

    // Documents.
    int ChooseFile(int mode);
    int OnOpen();
    int OnSave();
    int OnSaveAs();
    int OnEditChange();
    int HandleClose();
    // The exit question for a modified document; 1 when the program may end.
    int AskToSaveBeforeEnd();
    // Save and SaveAs report here whether the document really reached its file.
    int SaveDocument();
    int SaveDocumentAs();
    bool ConfirmLossySave();

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

    SearchDialog searchDialog;
    GrepDialog grepDialog;
    ReplaceDialog replaceDialog;
    // Case and whole-word choices, shared by the search and replace dialogs
    // for the session.
    SearchOptions searchOptions;
    RecentFiles recentFiles;
    PaneFont paneFont;
    EditControl leftPane;
    EditControl rightPane;
    std::string documentPath;
    // The form of the document's file, and whether the pane could not show
    // that file exactly (saving over it then asks first).
    DocumentFormat documentFormat;
    int lossy = 0;
    std::string lastSearchText;
    std::string grepText;
    int modified = 0;
    // The pane that gets the keyboard focus back when the window is activated.
    EditControl* focusPane = &leftPane;
    ResultPaneKeys resultPaneKeys;
    JumpHistory jumpHistory;
    std::string startCommandLine;
    int keepsPlacement = 0;
    BackgroundRun backgroundRun;
};
