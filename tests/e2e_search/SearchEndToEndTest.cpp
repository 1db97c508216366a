// The real Quorvane.exe in a process of its own, driven from outside as a
// user would: text into the left pane, Search through its dialog, Find Next
// to the end of the text and its not-found box, then a confirmed exit.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/EditOffsets.h"
#include "framework/Win32.h"
#include "util/TextSearch.h"

namespace {

constexpr int LeftPaneId = 100;
constexpr int SearchEditId = 1007;
constexpr WPARAM SearchCommand = 1007;
constexpr WPARAM FindNextCommand = 32781;
constexpr int MessageTextId = 65535;
// Generous: a slow Wine start must not fail the test.
constexpr DWORD PollLimitMs = 30000;
constexpr DWORD PollStepMs = 20;

bool PollUntil(const std::function<bool()>& done)
{
    for (DWORD waited = 0; waited < PollLimitMs; waited += PollStepMs) {
        if (done())
            return true;
        ::Sleep(PollStepMs);
    }
    return done();
}

std::string TextOf(HWND h)
{
    char buffer[1024] = {};
    ::SendMessageA(h, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

struct Search {
    DWORD process;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND h, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    char name[64] = {};
    ::GetClassNameA(h, name, sizeof(name));
    if (owner != search->process || std::string(name) != search->className ||
        !::IsWindowVisible(h))
        return TRUE;
    if (search->caption != nullptr && TextOf(h) != search->caption)
        return TRUE;
    search->found = h;
    return FALSE;
}

class Editor {
public:
    ~Editor()
    {
        if (info.hProcess != nullptr) {
            if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(info.hProcess, 99);
            ::CloseHandle(info.hProcess);
            ::CloseHandle(info.hThread);
        }
    }

    bool Start()
    {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string path = self;
        path = path.substr(0, path.find_last_of("\\/") + 1) + "Quorvane.exe";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string commandLine = "\"" + path + "\"";
        if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &info))
            return false;
        main = WaitFor("TestWindow", nullptr);
        return main != nullptr;
    }

    // A visible top-level window of the editor's process.
    HWND Find(const char* className, const char* caption)
    {
        Search search{info.dwProcessId, className, caption, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND WaitFor(const char* className, const char* caption)
    {
        HWND found = nullptr;
        PollUntil([&] { return (found = Find(className, caption)) != nullptr; });
        return found;
    }

    bool WaitGone(HWND h)
    {
        return PollUntil([h] { return !::IsWindowVisible(h); });
    }

    bool WaitForExit()
    {
        return ::WaitForSingleObject(info.hProcess, PollLimitMs) == WAIT_OBJECT_0;
    }

    HWND main = nullptr;
    PROCESS_INFORMATION info = {};
};

// The selection the pane reports, in its own units (the packed result works
// across processes, where pointers would not).
std::pair<DWORD, DWORD> RawSelection(HWND pane)
{
    DWORD packed = static_cast<DWORD>(::SendMessageA(pane, EM_GETSEL, 0, 0));
    return {LOWORD(packed), HIWORD(packed)};
}

// Byte offsets into text, as the pane counts them on this system.
std::pair<DWORD, DWORD> InControlUnits(const std::string& text, size_t start, size_t end)
{
    EditOffsets::Unit unit = EditOffsets::ControlUnit();
    return {EditOffsets::ToControl(text, static_cast<DWORD>(start), unit),
            EditOffsets::ToControl(text, static_cast<DWORD>(end), unit)};
}

} // namespace

TEST(SearchEndToEnd, SearchAndFindNextThroughTheWholeDocument)
{
    Editor editor;
    ASSERT_TRUE(editor.Start());
    HWND pane = ::GetDlgItem(editor.main, LeftPaneId);
    ASSERT_NE(nullptr, pane);

    // 今日は検索の日。 / 明日も検索、あさっても検索。 over two lines.
    const std::string text = "今日は検索の日。\r\n明日も検索、あさっても検索。";
    const std::string pattern = "検索";
    ::SendMessageA(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(pane, EM_SETSEL, 0, 0);
    ASSERT_EQ(text, TextOf(pane));

    ::PostMessageA(editor.main, WM_COMMAND, SearchCommand, 0);
    HWND dialog = editor.WaitFor("#32770", "検索");
    ASSERT_NE(nullptr, dialog);
    ::SendMessageA(::GetDlgItem(dialog, SearchEditId), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(pattern.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(editor.WaitGone(dialog));

    // Every occurrence in turn, the first by Search and the rest by Find Next.
    size_t expected = FindText(text, 0, pattern);
    ASSERT_EQ(6u, expected);
    int occurrences = 0;
    while (expected != TextSearch::npos) {
        if (occurrences > 0)
            ::PostMessageA(editor.main, WM_COMMAND, FindNextCommand, 0);
        auto wanted = InControlUnits(text, expected, expected + pattern.size());
        EXPECT_TRUE(PollUntil([&] { return RawSelection(pane) == wanted; }))
            << "occurrence " << occurrences << " at byte " << expected;
        ++occurrences;
        expected = FindText(text, expected + pattern.size(), pattern);
    }
    EXPECT_EQ(3, occurrences);

    ::PostMessageA(editor.main, WM_COMMAND, FindNextCommand, 0);
    HWND box = editor.WaitFor("#32770", "検索結果");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("\"検索\"は見つかりませんでした。", TextOf(::GetDlgItem(box, MessageTextId)));
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(editor.WaitGone(box));
    size_t last = text.size() - std::string("検索。").size();
    EXPECT_EQ(InControlUnits(text, last, last + pattern.size()), RawSelection(pane));

    ::PostMessageA(editor.main, WM_CLOSE, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(PollUntil([&] {
        return (question = editor.Find("#32770", "終了の確認")) != nullptr ||
               (question = editor.Find("#32770", "保存の確認")) != nullptr;
    }));
    bool unsaved = TextOf(question) == "保存の確認";
    ::PostMessageA(question, WM_COMMAND, unsaved ? IDNO : IDOK, 0);
    ASSERT_TRUE(editor.WaitForExit());
    DWORD exitCode = 1;
    ::GetExitCodeProcess(editor.info.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
}
