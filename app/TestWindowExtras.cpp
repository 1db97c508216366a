// Swap panes, wallpaper and the About box.
#include "app/AboutDialog.h"
#include "app/TestWindow.h"
#include "util/FileDialog.h"
#include "util/FileFilter.h"

// Setting the texts sends no EN_CHANGE, so the swap marks the document itself.
// Both texts are copied before either pane changes: a copy that fails
// changes nothing, and a pane that refuses its new text gets its own back.
int TestWindow::OnSwapText()
{
    std::string textBuf;
    std::string textBuf2;
    bool swapped = leftPane.GetText(textBuf) && rightPane.GetText(textBuf2) && leftPane.SetText(textBuf2);
    if (swapped && !rightPane.SetText(textBuf)) {
        leftPane.SetText(textBuf);
        swapped = false;
    }
    if (!swapped) {
        MessageBox("メモリが足りません", "エラー", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    OnEditChange();
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
