#include "support/OwnerWindow.h"

OwnerWindow::OwnerWindow()
{
    className = "ZelkTestOwner";
    caption = "Zelk test owner";
    style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    Create(nullptr, 40, 40, 400, 300);
}

OwnerWindow::~OwnerWindow()
{
    if (IsWindow())
        DestroyWindow();
}
