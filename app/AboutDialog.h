// AboutDialog: the About box (dialog 102), run modally by the About command
// and ended by OK (1), Esc or the close box (2).
#pragma once

#include "framework/Dialog.h"

class AboutDialog : public Dialog {
public:
    AboutDialog();
    ~AboutDialog() override = default;
};
