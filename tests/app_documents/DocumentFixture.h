// The real main window in the test's own process, with its document members
// and commands opened up, a driver that answers its real dialogs and message
// boxes, and a temporary folder for the files it opens and saves.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TestWindow.h"
#include "framework/Win32.h"
#include "support/DialogDriver.h"
#include "support/TempFolder.h"

class DocumentWindow : public TestWindow {
public:
    using TestWindow::ChooseFile;
    using TestWindow::HandleClose;
    using TestWindow::OnEditChange;
    using TestWindow::OnOpen;
    using TestWindow::OnSave;
    using TestWindow::OnSaveAs;
    using TestWindow::OnRedo;
    using TestWindow::OnSwapText;
    using TestWindow::OnUndo;
    using TestWindow::OpenDocumentFile;
    using TestWindow::loadPace;
    using TestWindow::recoveryWriter;
    using TestWindow::WriteRecoveryCopy;
    using TestWindow::documentPath;
    using TestWindow::leftPane;
    using TestWindow::modified;
    using TestWindow::rightPane;
};

// What the user sees of the document: its name, the caption, the text, the mark.
struct DocumentState {
    std::string path;
    std::string caption;
    std::string text;
    int modified;
};

// How a message box looked when it was answered.
struct BoxLook {
    std::vector<int> buttons; // the visible ones among OK, Cancel, Yes, No
    int defaultButton = 0;
    HICON icon = nullptr;
};

// A file held open without sharing, so that nobody else can open it.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile();
    bool IsHeld() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Caption() { return window.GetText(); }
    std::string PaneText() { return window.leftPane.GetText(); }
    DocumentState State();
    void ExpectState(const DocumentState& expected, const char* when);

    // Typing into the left pane, through the Edit control itself.
    void TypeChar(char c);
    void TypeText(const std::string& text);

    // Opens path through the Open dialog; the test fails if any box appears.
    void OpenThroughDialog(const std::string& path);
    // Checks that every queued answer ran and no unexpected dialog came.
    void ExpectDialogsDone();

    static std::string Bytes(const std::string& path);
    static bool Exists(const std::string& path);

    // An answer that records how a message box looks, then presses button.
    static DialogDriver::Answer LookAndPress(BoxLook& look, int button);

    TempFolder folder;
    DialogDriver driver;
    DocumentWindow window;
};

extern const char* const Untitled;
extern const char* const PlainSuffix;
extern const char* const ModifiedSuffix;
