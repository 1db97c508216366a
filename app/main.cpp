#include "app/TestApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    TestApp app;
    return app.Run(instance);
}
