// What reaches the pane from a file and the file from the pane, and what a
// failed open or save leaves behind: never a changed name, a lost mark or a
// damaged file.
#include <cstring>
#include <fstream>

#include "DocumentFixture.h"
#include "app_search/ImportPatch.h"

namespace {

const int FileNameBoxId = 1148;

// Deletes path when the dialog that chose it goes away: the file vanishes
// between the dialog and the open.
class DeleteWhenDialogCloses {
public:
    explicit DeleteWhenDialogCloses(const std::string& file) : path(file)
    {
        current = this;
        hook = ::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    }
    DeleteWhenDialogCloses(const DeleteWhenDialogCloses&) = delete;
    DeleteWhenDialogCloses& operator=(const DeleteWhenDialogCloses&) = delete;
    ~DeleteWhenDialogCloses()
    {
        ::UnhookWindowsHookEx(hook);
        current = nullptr;
    }
    bool Deleted() const { return deleted; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        // Only the file dialog has the file-name box; message boxes do not.
        HWND closing = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_DESTROYWND && current != nullptr && !current->deleted &&
            ::GetDlgItem(closing, FileNameBoxId) != nullptr)
            current->deleted = ::DeleteFileA(current->path.c_str()) != FALSE;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static DeleteWhenDialogCloses* current;
    std::string path;
    HHOOK hook;
    bool deleted = false;
};
DeleteWhenDialogCloses* DeleteWhenDialogCloses::current = nullptr;

// A file larger than 4 GiB whose low 32 bits of size say 16 bytes; sparse, so
// it costs no disk space.
bool MakeHugeFile(const std::string& path)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = 0x100000000LL;
    DWORD written = 0;
    bool made = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
                ::WriteFile(file, "0123456789abcdef", 16, &written, nullptr) && written == 16;
    ::CloseHandle(file);
    return made;
}

// Faults injected into the safe save: WriteHalf fails every write from the
// new text's first on, through realCall.
void* realCall = nullptr;
bool writesFail = false;

BOOL WINAPI LoseTheOldFile(LPCSTR replaced, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID)
{
    ::DeleteFileA(replaced);
    return FALSE;
}
BOOL WINAPI FailToMove(LPCSTR, LPCSTR, DWORD) { return FALSE; }
BOOL WINAPI WriteHalf(HANDLE file, LPCVOID data, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    writesFail = writesFail || (count >= 3 && std::memcmp(data, "new", 3) == 0);
    return reinterpret_cast<decltype(&::WriteFile)>(realCall)(file, data, writesFail ? count / 2 : count,
                                                                written, overlapped) && !writesFail;
}

// New files are refused in the folders whose paths start with this.
std::string refusedFolder;

HANDLE WINAPI RefuseNewFiles(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                             DWORD flags, HANDLE templateFile)
{
    if (disposition == CREATE_NEW && std::string(path).rfind(refusedFolder, 0) == 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<decltype(&::CreateFileA)>(realCall)(path, access, share, security, disposition, flags,
                                                                 templateFile);
}

} // namespace

TEST_F(DocumentTest, TextTravelsByteForByte)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string pane; // what the pane shows after Open, read in code page 932
        const char* tag;  // the caption's note on the file's form
    };
    const Case cases[] = {
        {"japanese.txt", "日本語の表示とソフト\r\n二行目、能力。\r\n", "日本語の表示とソフト\r\n二行目、能力。\r\n", ""},
        {"lf-only.txt", "one\ntwo\n\nthree", "one\ntwo\n\nthree", " [LF]"},
        {"utf-8.txt", u8"日本語\n", "日本語\n", " [UTF-8] [LF]"},
        {"empty.txt", "", "", ""},
    };
    for (const Case& c : cases) {
        std::string path = folder.Write(c.name, c.bytes);
        window.leftPane.SetText("previous text");
        OpenThroughDialog(path);
        ExpectState({path, path + c.tag + PlainSuffix, c.pane, 0}, c.name);

        std::string copy = folder.PathOf(std::string("copy-") + c.name);
        driver.Queue(DialogDriver::ChooseFile(copy));
        window.OnSaveAs();
        ExpectDialogsDone();
        EXPECT_EQ(c.bytes, Bytes(copy)) << c.name << ": saved in the file's own form";
    }
}

// Typing and pasting are not limited to the Edit control's default 30,000
// characters.
TEST_F(DocumentTest, TypingAndPastingAtTheEndOfALongDocument)
{
    std::string line(98, 'a');
    line += "\r\n";
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += line;
    const std::string path = folder.Write("long.txt", text);
    OpenThroughDialog(path);
    ASSERT_EQ(text.size(), PaneText().size());

    const int end = static_cast<int>(text.size());
    window.leftPane.SetSelection(end, end);
    TypeChar('z');
    const std::string pasted = "貼り付け";
    ASSERT_TRUE(::OpenClipboard(window.GetHandle()));
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, pasted.size() + 1);
    ASSERT_NE(nullptr, block);
    std::memcpy(::GlobalLock(block), pasted.c_str(), pasted.size() + 1);
    ::GlobalUnlock(block);
    ::SetClipboardData(CF_TEXT, block);
    ::CloseClipboard();
    ::SendMessageA(window.leftPane.GetHandle(), WM_PASTE, 0, 0);

    EXPECT_EQ(path + ModifiedSuffix, Caption());
    window.OnSave();
    EXPECT_TRUE(text + "z" + pasted == Bytes(path)) << "the end of the saved file";
}

// Open uses 0x1005. Save As must not use OFN_FILEMUSTEXIST (0x1000): a
// Windows save dialog that honours it refuses every new name. Wine ignores
// the flag, so the flags are read where the editor passes them.
TEST_F(DocumentTest, FileDialogFlags)
{
    static DWORD seen = 0;
    struct Record {
        static BOOL WINAPI Flags(OPENFILENAMEA* dialog)
        {
            seen = dialog->Flags;
            return FALSE;
        }
    };
    const struct {
        const char* function;
        void (*run)(DocumentWindow&);
        DWORD expected;
    } cases[] = {
        {"GetOpenFileNameA", [](DocumentWindow& w) { w.OnOpen(); }, 0x1005},
        // Save As adds its encoding and line-end lists: explorer style, hook, template.
        {"GetSaveFileNameA", [](DocumentWindow& w) { w.OnSaveAs(); }, 0x0807 | 0x80000 | 0x20 | 0x40},
    };
    for (const auto& c : cases) {
        ImportPatch patch("comdlg32.dll", c.function, reinterpret_cast<void*>(&Record::Flags));
        ASSERT_TRUE(patch.Applied()) << c.function;
        seen = 0;
        c.run(window);
        EXPECT_EQ(c.expected, seen) << c.function;
    }
}

TEST_F(DocumentTest, RightPaneNeverTakesPart)
{
    std::string path = folder.Write("doc.txt", "left");
    window.rightPane.SetText("right text");
    OpenThroughDialog(path);
    TypeChar('x');
    window.OnSave();
    EXPECT_EQ("xleft", Bytes(path));
    EXPECT_EQ("right text", window.rightPane.GetText());
}

TEST_F(DocumentTest, OpenThatFailsKeepsEverything)
{
    std::string vanishing = folder.Write("vanishing.txt", "gone");
    std::string held = folder.Write("held.txt", "held");
    std::string huge = folder.PathOf("huge.txt");
    ASSERT_TRUE(MakeHugeFile(huge));

    std::string named = folder.Write("named.txt", "named");
    OpenThroughDialog(named);
    TypeChar('a');
    DocumentState before = State();

    auto expectRefused = [&](const std::string& path, const char* why) {
        BoxLook look;
        driver.Queue(DialogDriver::ChooseFile(path)).Queue(LookAndPress(look, IDOK));
        size_t seen = driver.Seen().size();
        window.OnOpen();
        ExpectDialogsDone();
        ASSERT_EQ(seen + 3, driver.Seen().size()) << why; // the question, the dialog, the error
        EXPECT_EQ(path == huge ? "ファイルが大きすぎるため開けませんでした" : "ファイルを開けませんでした",
                  driver.Seen().back().text)
            << why;
        EXPECT_EQ("エラー", driver.Seen().back().caption) << why;
        EXPECT_EQ(std::vector<int>{IDOK}, look.buttons) << why;
        EXPECT_EQ(::LoadIconA(nullptr, IDI_EXCLAMATION), look.icon) << why;
        ExpectState(before, why);
    };

    // Modified documents are asked about first; "No" goes on to the dialog.
    driver.Queue(DialogDriver::Press(IDNO));
    {
        DeleteWhenDialogCloses deleter(vanishing);
        expectRefused(vanishing, "a file deleted after the dialog");
        EXPECT_TRUE(deleter.Deleted());
    }
    driver.Queue(DialogDriver::Press(IDNO));
    {
        HeldFile holder(held);
        ASSERT_TRUE(holder.IsHeld());
        expectRefused(held, "a file held open without sharing");
    }
    driver.Queue(DialogDriver::Press(IDNO));
    expectRefused(huge, "a file of 4 GiB and more");
}

TEST_F(DocumentTest, SaveThatFailsKeepsEverything)
{
    std::string path = folder.Write("doc.txt", "on disk");
    OpenThroughDialog(path);
    TypeText("unsaved ");
    DocumentState before = State();

    auto expectSaveError = [&](size_t dialogs, const char* why) {
        ExpectDialogsDone();
        ASSERT_EQ(dialogs, driver.Seen().size()) << why;
        EXPECT_EQ("ファイルを保存できませんでした", driver.Seen().back().text) << why;
        EXPECT_EQ("エラー", driver.Seen().back().caption) << why;
        ExpectState(before, why);
    };

    {
        HeldFile holder(path);
        ASSERT_TRUE(holder.IsHeld());
        BoxLook look;
        driver.Queue(LookAndPress(look, IDOK));
        window.OnSave();
        EXPECT_EQ(std::vector<int>{IDOK}, look.buttons);
        EXPECT_EQ(::LoadIconA(nullptr, IDI_EXCLAMATION), look.icon);
        expectSaveError(2, "Save onto a file held open");

        // Save As onto the same file: the overwrite question, then the error.
        driver.Queue(DialogDriver::ChooseFile(path))
            .Queue(DialogDriver::Press(IDYES))
            .Queue(DialogDriver::Press(IDOK));
        window.OnSaveAs();
        expectSaveError(5, "Save As onto a file held open");
    }
    EXPECT_EQ("on disk", Bytes(path));

    // Closing with Yes and a failed save keeps the window.
    {
        HeldFile holder(path);
        driver.Queue(DialogDriver::Press(IDYES))
            .Queue(DialogDriver::ChooseFile(path))
            .Queue(DialogDriver::Press(IDYES))
            .Queue(DialogDriver::Press(IDOK));
        window.HandleClose();
        expectSaveError(9, "close, Yes, save failed");
        EXPECT_TRUE(window.IsWindow());
    }
    EXPECT_EQ("on disk", Bytes(path));
    EXPECT_EQ((std::vector<std::string>{"doc.txt"}), folder.Entries()) << "no stray files";
}

TEST_F(DocumentTest, SaveKeepsTheFilesAttributes)
{
    std::string path = folder.Write("hidden.txt", "old");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    if ((::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0)
        GTEST_SKIP() << "this file system cannot keep the hidden attribute";
    OpenThroughDialog(path);
    TypeText("new ");
    window.OnSave();
    EXPECT_EQ(0, window.modified);
    EXPECT_EQ("new old", Bytes(path));
    EXPECT_NE(0u, ::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ((std::vector<std::string>{"hidden.txt"}), folder.Entries());
}

// A save whose system calls fail keeps every byte, in the file or in the one
// the message names (MoveFileExA fails throughout); every name of a hard link
// sees a saved text, and a zero byte is kept like any other.
TEST_F(DocumentTest, SavesKeepTheTextForEveryNameOfTheFile)
{
    const struct {
        const char* function;
        void* fake;
        bool hardLinked;  // and so written in place
        const char* told; // the message's end, followed by the name of the file holding kept
        const char* kept;
    } cases[] = {
        {"ReplaceFileA", reinterpret_cast<void*>(LoseTheOldFile), false, "新しい内容は次のファイルに残っています: ", "new"},
        {"WriteFile", reinterpret_cast<void*>(WriteHalf), true, "元の内容は次のファイルに残っています: ", "old"},
    };
    for (const auto& c : cases) {
        window.documentPath = folder.Write("doc.txt", "old");
        ASSERT_TRUE(!c.hardLinked || ::CreateHardLinkA((folder / "link.txt").c_str(), window.documentPath.c_str(), nullptr));
        window.leftPane.SetText("new");
        driver.Queue(DialogDriver::Press(IDOK));
        ImportPatch patch("kernel32.dll", c.function, c.fake);
        ImportPatch move("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(FailToMove));
        realCall = patch.Original();
        window.OnSave();
        const std::string told = driver.Finished() ? driver.Seen().back().text : driver.Report();
        ASSERT_NE(std::string::npos, told.find(c.told)) << told;
        EXPECT_EQ(c.kept, Bytes(told.substr(told.find(c.told) + std::strlen(c.told)))) << c.function;
    }
    const std::string path = folder.Write("zero.txt", std::string("a\0b", 3));
    ASSERT_TRUE(::CreateHardLinkA((folder / "other.txt").c_str(), path.c_str(), nullptr));
    // A zero byte is held like any other: saved through another name, the
    // file keeps it.
    driver.Queue(DialogDriver::ChooseFile(path))
        .Queue(DialogDriver::ChooseFile(folder / "other.txt")).Queue(DialogDriver::Press(IDYES));
    window.OnOpen();
    window.OnSaveAs();
    ExpectDialogsDone();
    EXPECT_EQ(std::string("a\0b", 3), Bytes(path));
}

// A folder that takes no new files: the file is written in place behind a
// copy in the temporary folder; where no copy can be made at all, nothing
// is changed and the message says so.
TEST_F(DocumentTest, SaveWhereNoNewFileMayBeMade)
{
    const struct {
        std::string refused;
        const char* saved;
    } cases[] = {{folder.Path() + "\\", "new"}, {"", "old"}};
    for (const auto& c : cases) {
        window.documentPath = folder.Write("doc.txt", "old");
        window.leftPane.SetText("new");
        refusedFolder = c.refused;
        // The second round wrote over the file the first one saved: Yes to overwriting it.
        if (c.refused.empty())
            driver.Queue(DialogDriver::Press(IDYES)).Queue(DialogDriver::Press(IDOK));
        {
            ImportPatch patch("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(RefuseNewFiles));
            realCall = patch.Original();
            window.OnSave();
        }
        EXPECT_EQ(c.saved, Bytes(window.documentPath)) << c.refused;
        EXPECT_EQ((std::vector<std::string>{"doc.txt"}), folder.Entries()) << c.refused;
    }
    EXPECT_NE(std::string::npos, driver.Seen().back().text.find("ファイルは変更していません"));
}

// A file that grows while it loads is read again; one that grows at every
// reading is not taken for what was read: a save asks before cutting its tail.
TEST_F(DocumentTest, FileThatGrowsWhileItLoads)
{
    for (const unsigned growing : {1u, 3u}) {
        const std::string path = folder.Write("log.txt", "one\r\n");
        window.loadPace = {500, 2, [=](unsigned reading) {
            if (reading <= growing) std::ofstream(path, std::ios::binary | std::ios::app) << "two\r\n"; }};
        ASSERT_EQ(1, window.OpenDocumentFile(path));
        const std::string grown = Bytes(path);
        if (growing == 3) {
            driver.Queue(DialogDriver::Press(IDNO));
            window.OnSave();
        }
        EXPECT_EQ(grown, growing == 1 ? PaneText() : Bytes(path));
    }
}

// Save As in another encoding whose reading back fails (memory ran out): the
// message says the file was saved, and the next save writes that encoding.
TEST_F(DocumentTest, SaveAsInAnotherEncodingWhoseReadingBackFails)
{
    OpenThroughDialog(folder.Write("sjis.txt", "日本\r\n"));
    const std::string target = folder / "u8.txt";
    driver.Queue([target](HWND dialog) {
        ::SendMessageA(::GetDlgItem(::FindWindowExA(dialog, nullptr, "#32770", nullptr), 1200), CB_SETCURSEL, 1, 0);
        DialogDriver::ChooseFile(target)(dialog); // as UTF-8
    }).Queue(DialogDriver::Press(IDOK));
    window.loadPace.afterFirstBlock = [](unsigned) { throw std::bad_alloc(); };
    window.OnSaveAs();
    EXPECT_EQ(0u, driver.Seen().back().text.find("ファイルは UTF-8 で保存しました"));
    EXPECT_EQ(target + " [UTF-8]" + PlainSuffix, Caption());
    window.loadPace.afterFirstBlock = nullptr;
    TypeChar('x');
    window.recoveryWriter = std::make_unique<RecoveryWriter>(folder / "copy.qrc", nullptr, WM_NULL);
    window.WriteRecoveryCopy(true);
    window.recoveryWriter.reset(); // the copy is on disk once it is gone
    RecoveryCopy copy;
    ASSERT_TRUE(RecoveryFolder::Read(folder / "copy.qrc", &copy));
    EXPECT_EQ(u8"x日本\r\n", copy.text) << "the copy holds its text in the encoding its header names";
    window.OnSave();
    ExpectDialogsDone();
    EXPECT_EQ(u8"x日本\r\n", Bytes(target));
}

// Text that may pass 2 GB is a large document where positions have 64 bits,
// and refused where they have 32.
TEST(DocumentRoom, LargeWherePositionsReachElseRefused)
{
    using R = DocumentLoad::Room;
    const struct { uint64_t size; TextEncoding::Kind kind; R wide, narrow; } cases[] = {
        {0x7FFFFFFF, TextEncoding::Utf8, R::Ordinary, R::Ordinary},
        {0x80000000, TextEncoding::Cp932, R::Large, R::Refused},
        {1500000000, TextEncoding::Utf16Le, R::Large, R::Refused}, // up to 2.25 GB as UTF-8
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.wide, DocumentLoad::RoomFor(c.size, c.kind, INT64_MAX)) << c.size;
        EXPECT_EQ(c.narrow, DocumentLoad::RoomFor(c.size, c.kind, INT32_MAX)) << c.size;
    }
}

// A conversion counts each character it cannot keep, and nothing else.
TEST(SaveConversion, CountsEachLostCharacter)
{
    const struct { unsigned pane; std::string bytes; TextEncoding::Kind to; size_t lost; } cases[] = {
        {65001, "a\xFF\xC3", TextEncoding::Utf16Le, 2}, // no UTF-8
        {932, "\xED\x40\xFA\x5C\x87\x90\x81\xE0", TextEncoding::Utf8, 0}, // NEC and IBM or JIS codes of 纊 and ≒
        {932, "\x85\x40\x85\x41\x81", TextEncoding::Utf8, 3},                 // unassigned; a lead byte at the end
    };
    for (const auto& c : cases) {
        std::string converted; FileContents contents; size_t lost = 99;
        ASSERT_TRUE(DocumentFormat(c.to).ToFileFrom(c.bytes, c.pane, converted, &contents, &lost));
        EXPECT_EQ(c.lost, lost) << c.bytes;
    }
}
