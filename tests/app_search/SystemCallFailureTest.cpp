// Framework operations whose system call fails in a way this machine never
// shows by itself: the failures come from patched imports.
#include <gtest/gtest.h>

#include <cstring>

#include "ImportPatch.h"
#include "framework/Application.h"

namespace {

class LoopApplication : public Application {
public:
    int OnInit() override { return 1; }
    int OnExit() override { return 1; }
};

BOOL WINAPI FailingGetMessage(LPMSG, HWND, UINT, UINT)
{
    return -1;
}

// A path longer than the buffer: it is cut and fills the buffer.
DWORD WINAPI CutModuleName(HMODULE, LPSTR name, DWORD size)
{
    std::memset(name, 'a', size);
    name[size - 1] = '\0';
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

TEST(SystemCallFailures, GetMessageErrorEndsTheLoopWithMinusOne)
{
    LoopApplication app;
    ImportPatch patch("user32.dll", "GetMessageA", reinterpret_cast<void*>(FailingGetMessage));
    ASSERT_TRUE(patch.Applied());
    EXPECT_EQ(-1, app.MessageLoop());
}

TEST(SystemCallFailures, CutModulePathGivesNoDirectory)
{
    LoopApplication app;
    ImportPatch patch("kernel32.dll", "GetModuleFileNameA", reinterpret_cast<void*>(CutModuleName));
    ASSERT_TRUE(patch.Applied());
    EXPECT_EQ("", app.GetModuleDirectory());
}

} // namespace
