// TestWindow: Quorvane's main window. It holds the two Edit panes side by
// side (the document on the left, generated text on the right), the document's
// path and modified flag, and runs every menu command. Owned by value by
// TestApp for the whole run.
#pragma once

#include <string>

#include "app/BackgroundRun.h"
#include "app/GrepDialog.h"
#include "app/SearchDialog.h"
#include "framework/EditControl.h"
#include "framework/Size.h"
#include "framework/Window.h"

class TestWindow : public Window {
public:
    TestWindow();
    ~TestWindow() override;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;

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
    // Save and SaveAs report here whether the document really reached its file.
    int SaveDocument();
    int SaveDocumentAs();

    // Swap, wallpaper, About.
    int OnSwapText();
    int OnChangeWallpaper();
    int OnAbout();

    // Search and find next.
    int OnSearch();
    int OnFindNext();

    // Folder listing and grep.
    int OnListDirectory();
    std::string ListDirectory(std::string folder);
    int OnGrep();
    std::string GrepDirectory(std::string folder);
    bool StartGrep(const std::string& folder, const std::string& text, const std::string& masks,
                   const std::string& excludedFolders);
    // Stops a listing or grep that is going before a command that needs the
    // right pane (after asking) or before the window closes (without asking).
    bool AskToStopRun();
    void StopRun();

    void SetCaptionFor(const char* suffix);

    SearchDialog searchDialog;
    GrepDialog grepDialog;
    EditControl leftPane;
    EditControl rightPane;
    std::string documentPath;
    std::string lastSearchText;
    std::string grepText;
    int modified = 0;
    BackgroundRun backgroundRun;
};
