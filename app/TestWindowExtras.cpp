// Swap panes, wallpaper and the About box.
#include <utility>

#include "app/AboutDialog.h"
#include "app/TestWindow.h"
#include "util/FileDialog.h"
#include "util/FileFilter.h"

// The panes trade their documents, each with its form; no text is copied.
// The document's name stays on the left, so the left is modified unless it
// holds the file's text again.
int TestWindow::OnSwapText()
{
    void* left = leftPane.Document();
    void* right = rightPane.Document();
    leftPane.AddDocumentReference(left);
    rightPane.AddDocumentReference(right);
    leftPane.SetDocument(right);
    rightPane.SetDocument(left);
    leftPane.ReleaseDocument(left);
    rightPane.ReleaseDocument(right);
    // What is typed in the document pane can be undone. Results back on the
    // right are never undone; any other text there keeps its history.
    leftPane.KeepHistory(true);
    if (rightPane.Document() == resultsDocument) {
        rightPane.KeepHistory(false);
        rightPane.ForgetHistory();
    }
    std::swap(documentFormat, otherFormat);
    SetCaptionFor(modified == 1 ? " - Quorvane（更新）" : " - Quorvane");
    OnEditChange();
    ApplyWrap(); // a large document may have come to either side
    UpdateStatus();
    return 0;
}

// Undo and redo act on the pane that has the focus, the document otherwise.
int TestWindow::OnUndo()
{
    (::GetFocus() == rightPane.GetHandle() ? rightPane : leftPane).Undo();
    return 0;
}

int TestWindow::OnRedo()
{
    (::GetFocus() == rightPane.GetHandle() ? rightPane : leftPane).Redo();
    return 0;
}

// The chosen file is passed on as it is; the system decides whether it makes a
// wallpaper, and a refusal is told to the user.
int TestWindow::OnChangeWallpaper()
{
    FileFilter filter{"*.bmp", "ビットマップファイル (*.bmp)"};
    FileDialog opnfl;
    std::string DTop;
    opnfl.AddFilter(filter);
    if (opnfl.Show(*this, 1) == 0)
        return 0;
    DTop = opnfl.GetFileName();
    if (!::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, DTop.data(), SPIF_UPDATEINIFILE))
        MessageBox("壁紙を変更できませんでした", "エラー", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

int TestWindow::OnAbout()
{
    AboutDialog AboutDlg;
    AboutDlg.RunModal(this);
    return 0;
}
