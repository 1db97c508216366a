// Search and find next in the left pane.
#include "app/TestWindow.h"

// Not built yet.
int TestWindow::OnSearch()
{
    return 0;
}

int TestWindow::OnFindNext()
{
    return 0;
}
