#include "DocumentFixture.h"

const char* const Untitled = "無題";
const char* const PlainSuffix = " - Quorvane";
const char* const ModifiedSuffix = " - Quorvane（更新）";

namespace {
const int MessageBoxIconId = 1088; // the icon Static of a system message box
}

HeldFile::HeldFile(const std::string& path)
    : handle(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

HeldFile::~HeldFile()
{
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
}

void DocumentTest::SetUp()
{
    ASSERT_TRUE(folder.IsReady());
    ASSERT_TRUE(window.Create(nullptr, 0, 0, 640, 480));
}

// A destroyed main window posts the quit message; it must not end the next
// test's message boxes.
void DocumentTest::TearDown()
{
    if (window.IsWindow())
        window.DestroyWindow();
    MSG message;
    while (::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

DocumentState DocumentTest::State()
{
    return {window.documentPath, Caption(), PaneText(), window.modified};
}

void DocumentTest::ExpectState(const DocumentState& expected, const char* when)
{
    EXPECT_EQ(expected.path, window.documentPath) << when;
    EXPECT_EQ(expected.caption, Caption()) << when;
    EXPECT_EQ(expected.text, PaneText()) << when;
    EXPECT_EQ(expected.modified, window.modified) << when;
}

void DocumentTest::TypeChar(char c)
{
    ::SendMessageA(window.leftPane.GetHandle(), WM_CHAR, static_cast<unsigned char>(c), 1);
}

void DocumentTest::TypeText(const std::string& text)
{
    ::SendMessageA(window.leftPane.GetHandle(), EM_REPLACESEL, TRUE,
                   reinterpret_cast<LPARAM>(text.c_str()));
}

void DocumentTest::OpenThroughDialog(const std::string& path)
{
    driver.Queue(DialogDriver::ChooseFile(path));
    window.OnOpen();
    ExpectDialogsDone();
}

void DocumentTest::ExpectDialogsDone()
{
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

std::string DocumentTest::Bytes(const std::string& path)
{
    std::string bytes;
    if (!TempFolder::ReadBytes(path, bytes))
        return "<unreadable>";
    return bytes;
}

bool DocumentTest::Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DialogDriver::Answer DocumentTest::LookAndPress(BoxLook& look, int button)
{
    return [&look, button](HWND box) {
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
            HWND item = ::GetDlgItem(box, id);
            if (item == nullptr || !::IsWindowVisible(item))
                continue;
            look.buttons.push_back(id);
            if ((::GetWindowLongPtrA(item, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                look.defaultButton = id;
        }
        look.icon = reinterpret_cast<HICON>(
            ::SendDlgItemMessageA(box, MessageBoxIconId, STM_GETICON, 0, 0));
        DialogDriver::PostCommand(box, button);
    };
}
