// GoToLineDialog: the dialog 指定行へジャンプ (dialog 140). It shows the range
// of lines, (1-N), takes a line number of digits only and gives it back
// clamped to that range. A local of the go-to-line command.
#pragma once

#include "framework/Dialog.h"

class GoToLineDialog : public Dialog {
public:
    explicit GoToLineDialog(unsigned long long lineCount);
    ~GoToLineDialog() override = default;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnIdOk() override;

    // The confirmed line, 1 to the line count.
    unsigned long long GetLine() const { return line; }

private:
    unsigned long long lineCount;
    unsigned long long line = 1;
};
