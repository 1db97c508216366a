// GrepDialog: the grep dialog (dialog 130). The text box opens empty; the
// file masks (対象ファイル, "*.*" at first) and the excluded folders
// (除外フォルダ, empty at first) and the two search options (match case on,
// whole words off at first) open with their last confirmed values. It keeps
// what was confirmed. A member of the main window.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "util/TextSearch.h"

class GrepDialog : public Dialog {
public:
    GrepDialog();
    ~GrepDialog() override = default;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnIdOk() override;

    const std::string& GetInputText() const { return inputText; }
    const std::string& GetMaskText() const { return maskText; }
    const std::string& GetExcludedText() const { return excludedText; }
    const SearchOptions& GetOptions() const { return options; }

private:
    std::string ItemText(int id);

    std::string inputText;
    std::string maskText = "*.*";
    std::string excludedText;
    SearchOptions options;
};
