// SearchDialog: the search dialog (dialog 129). It opens empty with "下へ"
// checked and the session's search options, and remembers the confirmed
// text, direction and options for the next search.
// A member of the main window.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "util/TextSearch.h"

class SearchDialog : public Dialog {
public:
    SearchDialog();
    ~SearchDialog() override = default;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnIdOk() override;

    const std::string& GetInputText() const { return inputText; }
    // 1 when "上へ" was chosen in the last confirmed run.
    int SearchesUpward() const { return upward; }
    // The options the next run opens with; after a confirmed run, its choice.
    void SetOptions(const SearchOptions& searchOptions) { options = searchOptions; }
    const SearchOptions& GetOptions() const { return options; }

private:
    void HandleInitDialog();

    std::string inputText;
    int upward = 0;
    SearchOptions options;
};
