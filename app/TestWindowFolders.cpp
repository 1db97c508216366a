// Directory listing and grep into the right pane, on a worker thread.
#include "app/folders/FolderGrep.h"
#include "app/folders/FolderListing.h"
#include "app/search/RegexSearch.h"
#include "app/TestWindow.h"
#include "util/FolderDialog.h"

int TestWindow::OnListDirectory()
{
    FolderDialog dialog;
    if (!dialog.Show(*this))
        return 0;
    std::string Dir = dialog.GetPath();
    WriteRecoveryCopy(true);
    backgroundRun.Start(*this, ResultPane(), "ディレクトリ一覧", [Dir](ResultSink& results) {
        FolderListing listing;
        listing.List(Dir, results);
        return std::string();
    });
    return 0;
}

std::string TestWindow::ListDirectory(std::string folder)
{
    std::string textBuf;
    FolderListing listing;
    listing.List(folder, textBuf);
    return textBuf;
}

// The folder is asked for first; cancelling either dialog changes nothing.
// Files that could not be read cost only their own results: the pane gets
// everything found, then one box names what was skipped.
int TestWindow::OnGrep()
{
    FolderDialog dialog;
    if (!dialog.Show(*this))
        return 0;
    std::string Dir = dialog.GetPath();
    if (grepDialog.RunModal(this) != 1)
        return 0;
    grepText = grepDialog.GetInputText();
    WriteRecoveryCopy(true);
    StartGrep(Dir, grepText, grepDialog.GetMaskText(), grepDialog.GetExcludedText(), grepDialog.GetOptions());
    return 0;
}

// The worker gets its own copies of everything it reads. A regular
// expression that does not compile is said here, and nothing is searched.
bool TestWindow::StartGrep(const std::string& folder, const std::string& text, const std::string& masks,
                           const std::string& excludedFolders, SearchOptions options)
{
    if (options.regex) {
        RegexSearch check;
        std::string message;
        if (!check.Compile(text, options, 932, &message)) {
            MessageBox(message, "grep検索", MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    std::vector<std::string> excluded = FileMask::SplitList(excludedFolders);
    auto work = [folder, text, masks, excluded, options](ResultSink& results) {
        FolderGrep grep(text, masks, options);
        grep.SetExcludedFolders(excluded);
        grep.Search(folder, results);
        return grep.SkippedCount() > 0 ? grep.SkippedMessage() : std::string();
    };
    return backgroundRun.Start(*this, ResultPane(), "grep検索", work);
}

std::string TestWindow::GrepDirectory(std::string folder)
{
    std::string FilePass;
    FolderGrep grep(grepText);
    grep.Search(folder, FilePass);
    return FilePass;
}

// After a swap the right pane may hold the file's document, with its
// history: results never write over it. It goes, and the left is then
// modified whatever it holds. Results are code page 932 with CR LF.
ScintillaControl& TestWindow::ResultPane()
{
    if (rightPane.Document() == fileDocument) {
        rightPane.NewDocument();
        fileDocument = nullptr;
        OnEditChange();
    }
    rightPane.SetCodePage(ScintillaControl::Cp932);
    rightPane.SetLineEnding(ScintillaControl::LineEnding::CrLf);
    otherFormat = DocumentFormat();
    resultsDocument = rightPane.Document();
    return rightPane;
}

bool TestWindow::AskToStopRun()
{
    return backgroundRun.AskToStop(*this);
}
