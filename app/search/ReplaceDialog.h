// ReplaceDialog: the replace dialog (置換). While it runs, modally, its
// buttons act on the document pane at once: 次を検索 (also Enter), 置換 and
// すべて置換; 閉じる, Esc and the close box end it. It opens with the last
// texts, direction and search options, and keeps them for the next search.
// A member of the main window, which points it at the pane before each run.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "framework/ScintillaControl.h"
#include "util/TextSearch.h"

class ReplaceDialog : public Dialog {
public:
    ReplaceDialog();
    ~ReplaceDialog() override = default;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnIdOk() override;
    int OnIdCancel() override;

    // What the next run opens with: the pane its buttons work on, the text
    // to search for, the session's options and the document's name.
    void Prepare(ScintillaControl* documentPane, const std::string& text, const SearchOptions& searchOptions,
                 const std::string& name = "無題");

    const std::string& GetSearchText() const { return searchText; }
    const SearchOptions& GetOptions() const { return options; }
    // 1 when "上へ" was chosen last.
    int SearchesUpward() const { return upward; }

private:
    void HandleInitDialog();
    void ReadFields();
    void RunButton(int id);

    ScintillaControl* pane = nullptr;
    std::string documentName;
    std::string searchText;
    std::string replaceText;
    SearchOptions options;
    int upward = 0;
};
