// GrepDialog: the grep dialog (dialog 130). It opens empty and keeps the
// confirmed text. A member of the main window.
#pragma once

#include <string>

#include "framework/Dialog.h"

class GrepDialog : public Dialog {
public:
    GrepDialog();
    ~GrepDialog() override = default;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnIdOk() override;

    const std::string& GetInputText() const { return inputText; }

private:
    std::string inputText;
};
