// What the grep and listing tests share: the main window with its folder
// commands reachable, a temporary tree, the dialog driver, and a plain
// FindFirstFileA walk that gives the order the commands must follow.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/TestWindow.h"
#include "support/DialogDriver.h"
#include "support/TempFolder.h"

class FolderProbe : public TestWindow {
public:
    using TestWindow::GrepDirectory;
    using TestWindow::ListDirectory;
    using TestWindow::OnGrep;
    using TestWindow::OnListDirectory;
    using TestWindow::RunCommand;
    using TestWindow::backgroundRun;
    using TestWindow::grepText;
    using TestWindow::leftPane;
    using TestWindow::rightPane;
};

// One entry of the reference walk: a file, or a folder line.
struct WalkEntry {
    std::string path;
    bool isFolder;
};

// Every entry below folder in walk order: a folder's files in enumeration
// order, then each sub-folder's entry followed by its own entries, except
// for the folders in notEntered, which appear but are not looked into.
std::vector<WalkEntry> ReferenceWalk(const std::string& folder,
                                     const std::set<std::string>& notEntered = {});

// The listing the reference walk gives.
std::string ExpectedListing(const std::string& folder, const std::set<std::string>& notEntered = {});

// One result line: path, TAB, number, "行目" (" M桁目" given a column), TAB, line, CR LF.
std::string ResultLine(const std::string& path, unsigned long long number, const std::string& line,
                       unsigned long long column = 0);

// Holds a file or folder open with no sharing, as another program could, so
// that nothing else can open or enumerate it meanwhile.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path);
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    ~HeldOpen();
    bool IsHeld() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

// Selects folder in the folder browser, once the browser shows it, then OK.
DialogDriver::Answer ChooseFolder(const std::string& folder);

// Types text into the grep dialog's edit box and confirms it.
DialogDriver::Answer TypeGrepText(const std::string& text);

class FolderCommandTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the grep command with the real folder browser and grep dialog
    // answered by the driver; the right pane's text afterwards.
    std::string Grep(const std::string& folder, const std::string& text);
    std::string List(const std::string& folder);
    // Dispatches this thread's messages until the run has put all it found
    // into the pane and what it shows at the end was answered.
    bool FinishRun();
    // Dispatches this thread's messages until done(), asking it after every
    // few; after every one where a test must act between two slices.
    bool PumpUntil(const std::function<bool()>& done, int messagesPerCheck = 20);
    std::string Pane() { return window.rightPane.GetText(); }
    // How often the right pane's text was set since SetUp.
    int PaneSetCount() const;

    TempFolder tree;
    FolderProbe window;
    DialogDriver driver;
};
