// Tag jump and jump back, go to line, select all, dropped files and the file
// named on the command line: the ways to a place in a file other than 開く.
// Every way that changes the document goes through the same question and
// loading as 開く (AskToSaveFirst, OpenDocumentFile).
#include <algorithm>
#include <vector>

#include "app/jump/CommandLine.h"
#include "app/jump/GoToLineDialog.h"
#include "app/jump/TagJumpLine.h"
#include "app/TestWindow.h"
#include "app/settings/UserSettings.h"
#include "app/settings/WindowPlacement.h"
#include "res/resource.h"
#include "util/TextEncoding.h"

#include <shlwapi.h>

namespace {

const char* const UntitledName = "無題";

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

bool IsExistingFile(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(FullPath(a).c_str(), FullPath(b).c_str()) == 0;
}

// PathRemoveFileSpecA knows double-byte characters (0x5C trail bytes).
std::string FolderOf(const std::string& path)
{
    if (path.size() >= MAX_PATH)
        return std::string();
    char folder[MAX_PATH] = {};
    path.copy(folder, path.size());
    return ::PathRemoveFileSpecA(folder) ? std::string(folder) : std::string();
}

// A relative path is taken from the document's folder when the file is
// there, else from the current folder. "" when no such file exists.
std::string ExistingFile(const std::string& path, const std::string& documentPath)
{
    std::vector<std::string> candidates;
    if (::PathIsRelativeA(path.c_str()) && documentPath != UntitledName) {
        std::string folder = FolderOf(documentPath);
        if (!folder.empty())
            candidates.push_back(folder + "\\" + path);
    }
    candidates.push_back(path);
    for (const std::string& candidate : candidates) {
        if (IsExistingFile(candidate))
            return FullPath(candidate);
    }
    return std::string();
}

// The text of the line that holds the caret (the selection's end), in code
// page 932 whatever the pane holds.
std::string CaretLine(ScintillaControl& pane)
{
    size_t end = 0;
    pane.GetSelection(nullptr, &end);
    const size_t line = pane.LineFromPosition(end);
    std::string text(pane.Bytes(pane.LineStart(line), pane.LineEnd(line)));
    size_t lost = 0;
    if (pane.CodePage() == ScintillaControl::Utf8 && !TextEncoding(TextEncoding::Utf8).Decode(text, &lost))
        text.clear();
    return text;
}

// The start and end of a line (1-based, clamped to the document's lines).
struct LineSpan {
    size_t start;
    size_t end;
};

LineSpan DocumentLine(ScintillaControl& pane, unsigned long long line)
{
    const size_t count = pane.LineCount();
    const size_t index = static_cast<size_t>(std::min<unsigned long long>(std::max(line, 1ull), count)) - 1;
    return {pane.LineStart(index), pane.LineEnd(index)};
}

} // namespace

void TestWindow::Start(const std::string& commandLine)
{
    keepsPlacement = 1;
    WindowPlacement::Restore(hwnd, UserSettings::Get());
    leftPane.SetFocus();
    startCommandLine = commandLine;
    // Before the file is asked for: the question about left changes runs a
    // message loop of its own, which would open it underneath.
    StartRecovery();
    if (!CommandLine::DocumentArgument(startCommandLine).empty())
        ::PostMessageA(hwnd, WM_COMMAND, IDM_OPEN_START_ARGUMENT, 0);
}

namespace {
// The file that argument names, whole or as path:N or path(N) (then place
// says where). "" when it names no existing file.
std::string StartFile(const std::string& argument, TagJumpLine* place)
{
    *place = TagJumpLine();
    std::string path = ExistingFile(argument, UntitledName);
    if (!path.empty() || TagJumpLine::Parse(argument, place) != 1 || place->line == 0) {
        *place = TagJumpLine();
        return path;
    }
    path = ExistingFile(place->path, UntitledName);
    if (path.empty())
        *place = TagJumpLine();
    return path;
}
} // namespace

// The whole rest of the line first, so that an unquoted path with spaces
// still opens; else the first argument as Windows splits them, saying how
// many others were left (several files dropped on the program's icon). A
// failure is reported as 開く reports it.
int TestWindow::OnOpenStartArgument()
{
    std::string commandLine;
    commandLine.swap(startCommandLine);
    std::string argument = CommandLine::DocumentArgument(commandLine);
    std::vector<std::string> arguments = CommandLine::Arguments(commandLine);
    TagJumpLine place;
    std::string path = StartFile(argument, &place);
    size_t notOpened = 0;
    if (path.empty() && !arguments.empty()) {
        argument = arguments.front();
        notOpened = arguments.size() - 1;
        path = StartFile(argument, &place);
    }
    // A document restored at the start is asked about first, as by 開く.
    if (AskToSaveFirst() != 1)
        return 0;
    int opened = OpenDocumentFile(path.empty() ? argument : path);
    if (notOpened > 0) {
        MessageBox("指定されたファイルのうち最初の 1 つだけを開きました。\nほかの " +
                       std::to_string(notOpened) + " 個は開いていません。",
                   "Quorvane", MB_OK | MB_ICONINFORMATION);
    }
    if (opened != 1 || place.line == 0)
        return 0;
    const LineSpan line = DocumentLine(leftPane, place.line);
    SelectInDocument(line.end, line.start);
    return 0;
}

// Moves the selection (anchor to caret, in bytes), scrolls the caret into
// view and gives the document the focus.
void TestWindow::SelectInDocument(size_t anchor, size_t caret)
{
    leftPane.SetSelection(anchor, caret);
    leftPane.SetFocus();
}

// 1 when path is the document now: already open, or opened after the question.
int TestWindow::GoToDocument(const std::string& path)
{
    if (documentPath != UntitledName && SamePath(path, documentPath))
        return 1;
    if (AskToSaveFirst() != 1)
        return 0;
    return OpenDocumentFile(path);
}

// The caret's line of the pane that has the focus (the right pane when the
// main window itself has it). A line that names no existing file beeps,
// unless it came from a double click, which then keeps its word selection.
int TestWindow::OnTagJump(int quiet)
{
    ScintillaControl& pane = ::GetFocus() == leftPane.GetHandle() ? leftPane : rightPane;
    TagJumpLine place;
    std::string path;
    for (const TagJumpLine& candidate : TagJumpLine::Places(CaretLine(pane))) {
        path = ExistingFile(candidate.path, documentPath);
        place = candidate;
        if (!path.empty())
            break;
    }
    if (path.empty()) {
        if (quiet == 0)
            ::MessageBeep(MB_OK);
        return 0;
    }

    size_t start = 0;
    size_t end = 0;
    leftPane.GetSelection(&start, &end);
    JumpHistory::Place from{documentPath, static_cast<unsigned long>(start), static_cast<unsigned long>(end)};
    if (GoToDocument(path) != 1)
        return 0;
    jumpHistory.Push(from);

    if (place.line == 0) {
        SelectInDocument(0, 0);
        return 0;
    }
    const LineSpan line = DocumentLine(leftPane, place.line);
    if (place.column > 0) {
        const size_t column = leftPane.PositionAfter(line.start, place.column - 1, line.end);
        SelectInDocument(column, column);
    } else {
        SelectInDocument(line.end, line.start);
    }
    return 0;
}

// An untitled document cannot be opened again: a jump that started there
// has nothing to return to.
int TestWindow::OnTagJumpBack()
{
    JumpHistory::Place place;
    if (jumpHistory.Pop(&place) != 1 || place.path == UntitledName) {
        ::MessageBeep(MB_OK);
        return 0;
    }
    if (GoToDocument(place.path) != 1) {
        jumpHistory.Push(place); // kept for the next try
        return 0;
    }
    const size_t size = leftPane.Length();
    SelectInDocument(std::min<size_t>(place.start, size), std::min<size_t>(place.end, size));
    return 0;
}

int TestWindow::OnGoToLine()
{
    GoToLineDialog dialog(leftPane.LineCount());
    int answer = dialog.RunModal(this);
    leftPane.SetFocus();
    if (answer != 1)
        return 0;
    const size_t start = DocumentLine(leftPane, dialog.GetLine()).start;
    SelectInDocument(start, start);
    return 0;
}

// In the pane that has the focus; the document when neither has it.
int TestWindow::OnSelectAll()
{
    ScintillaControl& pane = ::GetFocus() == rightPane.GetHandle() ? rightPane : leftPane;
    pane.SelectAll();
    pane.SetFocus();
    return 0;
}

// The first dropped file opens as by 開く; a folder does nothing.
int TestWindow::OnDropFiles(HDROP drop)
{
    std::string path;
    UINT length = ::DragQueryFileA(drop, 0, nullptr, 0);
    if (length > 0) {
        path.resize(length + 1);
        length = ::DragQueryFileA(drop, 0, &path[0], length + 1);
        path.resize(length);
    }
    ::DragFinish(drop);
    if (path.empty() || !IsExistingFile(path))
        return 0;
    if (AskToSaveFirst() == 1)
        OpenDocumentFile(path);
    return 0;
}
