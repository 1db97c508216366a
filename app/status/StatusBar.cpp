#include "app/status/StatusBar.h"

#include <commctrl.h>

#include "framework/Application.h"
#include "framework/ScintillaControl.h"
#include "framework/Window.h"

namespace {

// The widths of the parts after the note, in pixels; the note takes the rest.
constexpr int PartWidths[] = {130, 110, 90, 70, 50};

} // namespace

bool StatusBar::Create(Window& parent, int id)
{
    handle = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | SBARS_SIZEGRIP, 0, 0, 0, 0, parent.GetHandle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ApplicationInstance(), nullptr);
    return handle != nullptr;
}

void StatusBar::Show(bool show)
{
    shown = show && handle != nullptr;
    if (handle != nullptr)
        ::ShowWindow(handle, shown ? SW_SHOWNA : SW_HIDE);
    Fit();
}

int StatusBar::Height() const
{
    if (!shown)
        return 0;
    RECT rect = {};
    ::GetWindowRect(handle, &rect);
    return rect.bottom - rect.top;
}

void StatusBar::Fit()
{
    if (handle == nullptr)
        return;
    ::SendMessageA(handle, WM_SIZE, 0, 0);
    RECT client = {};
    ::GetClientRect(handle, &client);
    int edges[PartCount] = {};
    int right = client.right;
    edges[PartCount - 1] = -1;
    for (int part = PartCount - 2; part >= 0; --part) {
        right -= PartWidths[part];
        edges[part] = right > 0 ? right : 0;
    }
    ::SendMessageA(handle, SB_SETPARTS, PartCount, reinterpret_cast<LPARAM>(edges));
}

void StatusBar::ShowTexts(const Texts& texts)
{
    SetPart(Position, texts.position);
    SetPart(Selection, texts.selection);
    SetPart(Encoding, texts.encoding);
    SetPart(LineEnds, texts.lineEnds);
    SetPart(Mode, texts.mode);
}

void StatusBar::ShowNote(const std::string& note)
{
    SetPart(Note, note);
}

void StatusBar::SetPart(Part part, const std::string& text)
{
    if (parts[part] == text || handle == nullptr)
        return;
    parts[part] = text;
    ::SendMessageA(handle, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
}

StatusBar::Texts StatusBar::Describe(ScintillaControl& pane, const DocumentFormat& format)
{
    count.Advance(pane);
    const std::optional<size_t> column = count.Column();
    Texts texts;
    texts.position = std::to_string(pane.LineFromPosition(pane.Caret()) + 1) + " 行, " +
                     (column ? std::to_string(*column + 1) : "…") + " 列";
    size_t start = 0;
    size_t end = 0;
    pane.GetSelection(&start, &end);
    const std::optional<size_t> characters = count.Characters();
    if (start != end)
        texts.selection = (characters ? std::to_string(*characters) : "…") + " 文字選択";
    texts.encoding = EncodingName(format.GetEncoding());
    texts.lineEnds = LineEndsName(format.GetLineEnds(), static_cast<int>(pane.GetLineEnding()));
    texts.mode = pane.IsOvertype() ? "上書" : "挿入";
    return texts;
}

const char* StatusBar::EncodingName(TextEncoding encoding)
{
    return encoding.IsCp932() ? "SJIS" : encoding.GetName();
}

const char* StatusBar::LineEndsName(DocumentFormat::LineEnds ends, int paneLineEnding)
{
    switch (ends) {
    case DocumentFormat::LineEnds::CrLf: return "CRLF";
    case DocumentFormat::LineEnds::Lf: return "LF";
    case DocumentFormat::LineEnds::Cr: return "CR";
    case DocumentFormat::LineEnds::Mixed: return "混在";
    case DocumentFormat::LineEnds::None: break;
    }
    const auto typed = static_cast<ScintillaControl::LineEnding>(paneLineEnding);
    return typed == ScintillaControl::LineEnding::Lf ? "LF" : typed == ScintillaControl::LineEnding::Cr ? "CR" : "CRLF";
}
