// Swap panes, wallpaper and the About box.
#include "app/AboutDialog.h"
#include "app/TestWindow.h"

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

int TestWindow::OnAbout()
{
    AboutDialog AboutDlg;
    AboutDlg.RunModal(this);
    return 0;
}

// Not built yet: arrives with the file dialog.
int TestWindow::OnChangeWallpaper()
{
    return 0;
}
