// SearchOptionBoxes: the option check boxes that the search, replace and
// grep dialogs share (大文字と小文字を区別する, 単語単位で探す, 正規表現), shown from and
// read back into SearchOptions. Stateless; the dialogs call it.
#pragma once

#include "framework/Dialog.h"
#include "util/TextSearch.h"

class SearchOptionBoxes {
public:
    static void Show(Dialog& dialog, const SearchOptions& options);
    static SearchOptions Read(Dialog& dialog);
};
