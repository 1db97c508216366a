// Directory listing and grep into the right pane.
#include "app/TestWindow.h"

// Not built yet.
int TestWindow::OnListDirectory()
{
    return 0;
}

std::string TestWindow::ListDirectory(std::string)
{
    return std::string();
}

int TestWindow::OnGrep()
{
    return 0;
}

std::string TestWindow::GrepDirectory(std::string)
{
    return std::string();
}
