// ProgressDialog: the small modeless window a background run shows (dialog
// IDD_PROGRESS): the files and lines so far, the folder being walked, and the
// button 中止. It is owned by the main window and centred on it. What it
// receives (the stop button, its timer, the run's posted messages) goes to
// its listener, the BackgroundRun that made it.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Dialog.h"

class ProgressDialog : public Dialog {
public:
    // Told of everything that happens to the window.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void OnStopPressed() = 0;
        virtual void OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
        virtual void OnViewDestroyed() = 0;
    };

    explicit ProgressDialog(Listener& listener);
    ~ProgressDialog() override = default;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnIdCancel() override;

    // Opens the window with this caption; false when it could not be made.
    bool Open(Window& owner, const std::string& title);
    void Close();
    bool IsOpen() { return hwnd != nullptr && IsWindow(); }

    void ShowCounts(uint64_t files, uint64_t lines);
    void ShowFolder(const std::string& folder);
    // Any one line of text where the counts show.
    void SetCountsText(const std::string& text);
    // The last state: a line of text in place of the counts; the window and
    // its 中止 take no input any more.
    void ShowFinal(const std::string& text);
    // 中止 greyed: the run can no longer be stopped.
    void DisableStop();

    // Messages the run posts to this window, and its timers.
    static constexpr UINT ChunkMessage = WM_APP + 0x51;
    static constexpr UINT DoneMessage = WM_APP + 0x52;

private:
    void CenterOnOwner();

    Listener& listener;
    std::string shownCounts;
    std::string shownFolder;
};

// 12345 as "12,345".
std::string FormatCount(uint64_t count);
// Bytes done of a total as "3 / 101 MB", each in whole megabytes (the total
// rounded up).
std::string FormatMegabytes(uint64_t done, uint64_t total);
