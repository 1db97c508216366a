#include "FolderCommandFixture.h"

#include <cstring>

#include "res/resource.h"
#include "support/FolderBrowserSelection.h"
#include "support/WaitUntil.h"

namespace {

// Counts WM_SETTEXT on the right pane, then lets the Edit control have it.
int paneSetCount = 0;
WNDPROC paneProcedure = nullptr;

LRESULT CALLBACK CountingPaneProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        ++paneSetCount;
    return ::CallWindowProcA(paneProcedure, h, message, wParam, lParam);
}

void Enumerate(const std::string& folder, std::vector<std::string>& files, std::vector<std::string>& folders)
{
    WIN32_FIND_DATAA entry = {};
    HANDLE find = ::FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string path = folder + "\\" + entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(path);
        else if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            folders.push_back(path);
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
}

void Walk(const std::string& folder, const std::set<std::string>& notEntered, std::vector<WalkEntry>& out)
{
    std::vector<std::string> files;
    std::vector<std::string> folders;
    Enumerate(folder, files, folders);
    for (const std::string& file : files)
        out.push_back(WalkEntry{file, false});
    for (const std::string& sub : folders) {
        out.push_back(WalkEntry{sub, true});
        if (notEntered.count(sub) == 0)
            Walk(sub, notEntered, out);
    }
}

} // namespace

std::vector<WalkEntry> ReferenceWalk(const std::string& folder, const std::set<std::string>& notEntered)
{
    std::vector<WalkEntry> entries;
    Walk(folder, notEntered, entries);
    return entries;
}

std::string ExpectedListing(const std::string& folder, const std::set<std::string>& notEntered)
{
    std::string listing;
    for (const WalkEntry& entry : ReferenceWalk(folder, notEntered))
        listing += entry.path + "\r\n";
    return listing;
}

// line as the file has it: the CR of a CR LF end is not in the result.
std::string ResultLine(const std::string& path, unsigned long long number, const std::string& line,
                       unsigned long long column)
{
    const bool endsInCr = !line.empty() && line.back() == '\r';
    const std::string place = column == 0 ? "" : " " + std::to_string(column) + "桁目";
    return path + "\t" + std::to_string(number) + "行目" + place + "\t" + line.substr(0, line.size() - endsInCr) +
           "\r\n";
}

HeldOpen::HeldOpen(const std::string& path)
    : handle(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr))
{
}

HeldOpen::~HeldOpen()
{
    if (IsHeld())
        ::CloseHandle(handle);
}

DialogDriver::Answer ChooseFolder(const std::string& folder)
{
    return [folder](HWND browser) {
        SelectFolderInBrowser(browser, folder);
        DialogDriver::PostCommand(browser, IDOK);
    };
}

DialogDriver::Answer TypeGrepText(const std::string& text)
{
    return [text](HWND dialog) {
        ::SetDlgItemTextA(dialog, IDC_SEARCH_TEXT, text.c_str());
        DialogDriver::PostCommand(dialog, IDOK);
    };
}

void FolderCommandTest::SetUp()
{
    ASSERT_TRUE(tree.IsReady());
    ASSERT_TRUE(window.Create(nullptr, 0, 0, 640, 480));
    paneSetCount = 0;
    HWND pane = window.rightPane.GetHandle();
    paneProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingPaneProcedure)));
}

void FolderCommandTest::TearDown()
{
    if (window.IsWindow())
        window.DestroyWindow();
    // The main window posts the quit message as it goes; left in the queue
    // it would end the next test's first modal dialog at once.
    MSG message;
    while (::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

std::string FolderCommandTest::Grep(const std::string& folder, const std::string& text)
{
    driver.Queue(ChooseFolder(folder)).Queue(TypeGrepText(text));
    window.OnGrep();
    EXPECT_TRUE(FinishRun());
    return Pane();
}

std::string FolderCommandTest::List(const std::string& folder)
{
    driver.Queue(ChooseFolder(folder));
    window.OnListDirectory();
    EXPECT_TRUE(FinishRun());
    return Pane();
}

bool FolderCommandTest::FinishRun()
{
    return PumpUntil([&] { return !window.backgroundRun.IsRunning(); });
}

// A run's timer is due again as soon as a slice is in, so the queue is never
// empty while it lasts: a few messages at a time, then the condition.
bool FolderCommandTest::PumpUntil(const std::function<bool()>& done, int messagesPerCheck)
{
    constexpr DWORD RunLimitMs = 300000;
    return WaitUntil([&] {
        MSG message;
        for (int i = 0; i < messagesPerCheck && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        return done();
    }, RunLimitMs);
}

int FolderCommandTest::PaneSetCount() const
{
    return paneSetCount;
}
