#include "app/encodings/SaveFormatPart.h"

#include <iterator>

#include "res/resource.h"
#include "util/FileDialog.h"

namespace {

struct EncodingItem {
    const char* name;
    TextEncoding::Kind kind;
};
constexpr EncodingItem Encodings[] = {
    {"SJIS (CP932)", TextEncoding::Cp932},  {"UTF-8", TextEncoding::Utf8},
    {"UTF-8 BOM", TextEncoding::Utf8WithMark}, {"UTF-16LE", TextEncoding::Utf16Le},
    {"UTF-16BE", TextEncoding::Utf16Be},    {"EUC-JP", TextEncoding::EucJp},
};

struct LineEndsItem {
    const char* name;
    DocumentFormat::LineEnds ends;
};
// The last one is offered only for a document whose line ends are mixed.
constexpr LineEndsItem LineEndsList[] = {
    {"CRLF", DocumentFormat::LineEnds::CrLf},
    {"LF", DocumentFormat::LineEnds::Lf},
    {"CR", DocumentFormat::LineEnds::Cr},
    {"混在 (変えない)", DocumentFormat::LineEnds::Mixed},
};

} // namespace

SaveFormatPart::SaveFormatPart(const DocumentFormat& current, DocumentFormat::LineEnds typedEnds) : own(current)
{
    if (own.GetLineEnds() == DocumentFormat::LineEnds::None)
        own.SetLineEnds(typedEnds);
    chosen = own;
}

void SaveFormatPart::AttachTo(FileDialog& dialog)
{
    dialog.SetCustomPart(MAKEINTRESOURCEA(IDD_SAVE_FORMAT), &SaveFormatPart::Hook, reinterpret_cast<LPARAM>(this));
}

bool SaveFormatPart::ChangesForm() const
{
    return chosen.GetEncoding().GetKind() != own.GetEncoding().GetKind() || chosen.GetLineEnds() != own.GetLineEnds();
}

UINT_PTR CALLBACK SaveFormatPart::Hook(HWND part, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<SaveFormatPart*>(reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
        ::SetWindowLongPtrA(part, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->Fill(part);
        return FALSE; // the focus stays in the file-name box
    }
    auto* self = reinterpret_cast<SaveFormatPart*>(::GetWindowLongPtrA(part, GWLP_USERDATA));
    if (self != nullptr && message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_FILEOK)
        self->Read(part);
    return 0;
}

void SaveFormatPart::Fill(HWND part)
{
    const HWND encodings = ::GetDlgItem(part, IDC_SAVE_ENCODING);
    for (const EncodingItem& item : Encodings) {
        const LRESULT at = ::SendMessageA(encodings, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.name));
        if (item.kind == own.GetEncoding().GetKind())
            ::SendMessageA(encodings, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
    const HWND ends = ::GetDlgItem(part, IDC_SAVE_LINE_ENDS);
    for (const LineEndsItem& item : LineEndsList) {
        if (item.ends == DocumentFormat::LineEnds::Mixed && own.GetLineEnds() != item.ends)
            continue;
        const LRESULT at = ::SendMessageA(ends, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.name));
        if (item.ends == own.GetLineEnds())
            ::SendMessageA(ends, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
}

// The lists are unsorted, so a position is an index into the tables.
void SaveFormatPart::Read(HWND part)
{
    const LRESULT encoding = ::SendMessageA(::GetDlgItem(part, IDC_SAVE_ENCODING), CB_GETCURSEL, 0, 0);
    const LRESULT ends = ::SendMessageA(::GetDlgItem(part, IDC_SAVE_LINE_ENDS), CB_GETCURSEL, 0, 0);
    chosen = own;
    if (encoding >= 0 && encoding < static_cast<LRESULT>(std::size(Encodings)))
        chosen = DocumentFormat(Encodings[encoding].kind);
    chosen.SetLineEnds(ends >= 0 && ends < static_cast<LRESULT>(std::size(LineEndsList)) ? LineEndsList[ends].ends
                                                                                          : own.GetLineEnds());
}
