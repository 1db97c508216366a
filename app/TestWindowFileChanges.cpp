// The document against its file on disk: reading it again in an encoding of
// the user's choice. Nothing the user typed is dropped without a question.
#include "app/TestWindow.h"

#include <algorithm>

#include "res/resource.h"

namespace {

constexpr UINT CautionYesNo = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2; // 0x134
constexpr UINT ErrorNotice = MB_OK | MB_ICONEXCLAMATION;                    // 0x30

const char* const UntitledName = "無題";

// The encoding of a 開き直す command; Auto has none.
bool EncodingOf(WORD id, TextEncoding* encoding)
{
    switch (id) {
    case IDM_REOPEN_SJIS: *encoding = TextEncoding::Cp932; return true;
    case IDM_REOPEN_UTF8: *encoding = TextEncoding::Utf8; return true;
    case IDM_REOPEN_UTF16LE: *encoding = TextEncoding::Utf16Le; return true;
    case IDM_REOPEN_UTF16BE: *encoding = TextEncoding::Utf16Be; return true;
    case IDM_REOPEN_EUCJP: *encoding = TextEncoding::EucJp; return true;
    default: return false;
    }
}

} // namespace

int TestWindow::OnReopen(WORD id)
{
    if (documentPath == UntitledName) {
        MessageBox("この文書はまだファイルに保存されていないため、開き直せません", "開き直す", ErrorNotice);
        return 0;
    }
    if (modified == 1 &&
        MessageBox("編集中の内容は失われます。\nファイルを開き直しますか？", "開き直す", CautionYesNo) != IDYES)
        return 0;
    TextEncoding encoding;
    const bool chosen = EncodingOf(id, &encoding);
    encodingChosen = chosen;
    return ReloadKeepingPlace(chosen ? &encoding : nullptr) ? 1 : 0;
}

// The caret goes back to the start of its line, and the same line is at the
// top, as far as the new text reaches.
bool TestWindow::ReloadKeepingPlace(const TextEncoding* chosen)
{
    const size_t line = leftPane.LineFromPosition(leftPane.Caret());
    const size_t top = leftPane.FirstVisibleLine();
    if (LoadDocument(documentPath, chosen) != 1)
        return false;
    const size_t start = leftPane.LineStart(std::min(line, leftPane.LineCount() - 1));
    leftPane.SetSelection(start, start);
    leftPane.SetFirstVisibleLine(top);
    return true;
}
