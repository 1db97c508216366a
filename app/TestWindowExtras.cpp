// Swap panes, wallpaper and the About box.
#include "app/AboutDialog.h"
#include "app/TestWindow.h"
#include "util/FileDialog.h"
#include "util/FileFilter.h"

// Setting the texts sends no EN_CHANGE, so the swap marks the document itself.
int TestWindow::OnSwapText()
{
    std::string textBuf = leftPane.GetText();
    std::string textBuf2 = rightPane.GetText();
    leftPane.SetText(textBuf2);
    rightPane.SetText(textBuf);
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
