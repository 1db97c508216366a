// An application object for tests that make windows without running the
// message loop: it exists so that the framework finds one, and does nothing
// at its start or end.
#pragma once

#include "framework/Application.h"

class BareApplication : public Application {
public:
    int OnInit() override { return 1; }
    int OnExit() override { return 1; }
};
