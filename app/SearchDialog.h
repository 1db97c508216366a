// SearchDialog: the search dialog (dialog 129). It opens empty with "下へ"
// checked and remembers the confirmed text and direction for the next search.
// A member of the main window.
#pragma once

#include <string>

#include "framework/Dialog.h"

class SearchDialog : public Dialog {
public:
    SearchDialog();
    ~SearchDialog() override = default;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnIdOk() override;

    const std::string& GetInputText() const { return inputText; }
    // 1 when "上へ" was chosen in the last confirmed run.
    int SearchesUpward() const { return upward; }

private:
    void HandleInitDialog();

    std::string inputText;
    int upward = 0;
};
