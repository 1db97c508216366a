// DialogDriver: answers the modal dialogs (#32770: message boxes, the Open and
// Save dialogs, the folder browser, the program's own dialogs) that the code
// under test shows on this thread. A test queues answers first; each answer
// runs once, in queue order, when a dialog appears, from a thread timer that
// the dialogs' own message loops dispatch. One driver per thread at a time.
//
//   DialogDriver driver;
//   driver.Queue(DialogDriver::ChooseFile(path));
//   ASSERT_TRUE(dialog.Show(owner, 1));
//   EXPECT_TRUE(driver.Finished()) << driver.Report();
//
// A dialog that appears with no answer left, or that an answer left open
// while nothing else appeared, is cancelled (so a test fails instead of
// hanging) and recorded as a problem.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/Win32.h"

// What the driver saw of one dialog it answered.
struct SeenDialog {
    std::string caption;
    // The message text (the Static with id 65535), "" for other dialogs.
    std::string text;
    // The text of the file-name box of an Open or Save dialog, or "".
    std::string fileName;
};

class DialogDriver {
public:
    using Answer = std::function<void(HWND dialog)>;

    DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    ~DialogDriver();

    // Answers run in the order queued, one per dialog appearance.
    DialogDriver& Queue(Answer answer);

    // Stock answers.
    // Types path into the file-name box of an Open or Save dialog, then OK.
    static Answer ChooseFile(const std::string& path);
    // Selects folder in the folder browser, then OK.
    static Answer ChooseFolder(const std::string& folder);
    // Presses the button with this id (IDOK, IDCANCEL, IDYES, IDNO, ...).
    static Answer Press(int buttonId);

    // Dialog parts, for answers of a test's own.
    static std::string TextOf(HWND dialog, int controlId);
    static void PostCommand(HWND dialog, int id);

    // The dialogs answered so far, in order.
    const std::vector<SeenDialog>& Seen() const { return seen; }
    // True when every queued answer ran and nothing unexpected happened.
    bool Finished() const { return answers.empty() && problems.empty(); }
    // Unexpected dialogs and unused answers, for a failure message.
    std::string Report() const;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();
    HWND FindOpenDialog() const;
    void Dismiss(HWND dialog, const std::string& why);

    UINT_PTR timer = 0;
    std::deque<Answer> answers;
    std::vector<SeenDialog> seen;
    std::vector<std::string> problems;
    HWND lastAnswered = nullptr;
    int ticksOnSameDialog = 0;
    bool busy = false;
};
