#include "framework/ScintillaControl.h"

#include <algorithm>

#include "ILoader.h"
#include "Scintilla.h"
#include "framework/Application.h"
#include "util/TextEncoding.h"

namespace {

const char* const ClassName = "Scintilla";

// The pane's own context menu: Scintilla's says "Undo", "Cut"... in English.
struct ContextItem {
    UINT command;
    const char* text;
};
constexpr ContextItem ContextItems[] = {
    {SCI_UNDO, "元に戻す(&U)"},  {SCI_REDO, "やり直し(&R)"},   {0, nullptr},
    {SCI_CUT, "切り取り(&T)"},   {SCI_COPY, "コピー(&C)"},     {SCI_PASTE, "貼り付け(&P)"},
    {SCI_CLEAR, "削除(&D)"},     {0, nullptr},                 {SCI_SELECTALL, "すべて選択(&A)"},
};

// A message another thread sent: in a window of the main thread, another
// program's.
bool SentFromOutside()
{
    return ::InSendMessageEx(nullptr) != ISMEX_NOSEND;
}

} // namespace

ScintillaControl::ScintillaControl()
{
    className = ClassName;
    style = WS_CHILD | WS_VISIBLE;
}

// Scintilla's class must exist before Window::Create looks for it: it would
// otherwise register a class of that name of its own.
int ScintillaControl::CanCreate()
{
    const HINSTANCE instance = ApplicationInstance();
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(instance, ClassName, &existing))
        return 1;
    return Scintilla_RegisterClasses(instance) != 0 ? 1 : 0;
}

int ScintillaControl::Create(DWORD newStyle, Rect rect, Window* parentWindow, int id)
{
    if (Control::Create(newStyle, rect, parentWindow, id) == 0)
        return 0;
    if (Subclass() == 0) {
        DestroyWindow();
        return 0;
    }
    direct = reinterpret_cast<DirectFunction>(::SendMessageA(hwnd, SCI_GETDIRECTFUNCTION, 0, 0));
    directPointer = ::SendMessageA(hwnd, SCI_GETDIRECTPOINTER, 0, 0);
    Call(SCI_SETCODEPAGE, Cp932);
    Call(SCI_SETMARGINWIDTHN, 1, 0); // no symbol margin: nothing is marked
    Call(SCI_SETMARGINWIDTHN, 0, 0); // line numbers only when the user asks
    Call(SCI_SETSCROLLWIDTHTRACKING, 1);
    Call(SCI_SETSCROLLWIDTH, 1);
    // Only the save point is listened to; a notice per change would cost
    // every append of results.
    Call(SCI_SETMODEVENTMASK, SC_MOD_NONE);
    Call(SCI_USEPOPUP, SC_POPUP_NEVER);
    return 1;
}

// SCN_MODIFIED says all EN_CHANGE would, and how much changed.
void ScintillaControl::MakeDocumentPane()
{
    documentPane = true;
    Call(SCI_SETCOMMANDEVENTS, 0);
    Call(SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
}

intptr_t ScintillaControl::Call(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    if (direct != nullptr)
        return direct(directPointer, message, wParam, lParam);
    return ::SendMessageA(hwnd, message, wParam, lParam);
}

LRESULT ScintillaControl::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Window::HandleMessage(hwnd, message, wParam, lParam);
}

LRESULT ScintillaControl::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT:
        return SetTextFromAnsi(reinterpret_cast<const char*>(lParam), documentPane && SentFromOutside());
    case EM_REPLACESEL:
        return ReplaceSelectionFromAnsi(reinterpret_cast<const char*>(lParam));
    case EM_GETMODIFY:
        return IsModified() ? TRUE : FALSE;
    case EM_SETMODIFY:
        if (wParam == FALSE && !documentPane)
            SetSavePoint();
        return 0;
    case SCI_SETSAVEPOINT:
        if (documentPane && SentFromOutside())
            return 0;
        break;
    case EM_UNDO:
    case WM_UNDO: {
        const bool could = CanUndo();
        Undo();
        return could ? TRUE : FALSE;
    }
    case WM_IME_CHAR: {
        const char bytes[2] = {static_cast<char>(HIBYTE(LOWORD(wParam))), static_cast<char>(LOBYTE(LOWORD(wParam)))};
        return bytes[0] != 0 ? InsertAnsiCharacter(bytes, 2, lParam) : InsertAnsiCharacter(bytes + 1, 1, lParam);
    }
    case WM_CHAR:
        return TakeAnsiChar(wParam, lParam);
    case EM_POSFROMCHAR: { // the Edit form: the offset in, the point packed out
        const intptr_t x = Call(SCI_POINTXFROMPOSITION, 0, static_cast<intptr_t>(wParam));
        const intptr_t y = Call(SCI_POINTYFROMPOSITION, 0, static_cast<intptr_t>(wParam));
        return MAKELRESULT(static_cast<WORD>(x), static_cast<WORD>(y));
    }
    case WM_SETFONT:
        SetFontFrom(reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font);
    case WM_CONTEXTMENU:
        ShowContextMenu(lParam);
        return 0;
    case WM_DESTROY:
        direct = nullptr; // Scintilla's object goes with the window
        break;
    default:
        break;
    }
    return Window::HandleMessage(h, message, wParam, lParam);
}

// An ANSI window gets a double-byte character as two WM_CHAR, lead byte
// first; the pair is given to Scintilla as the one character it is.
LRESULT ScintillaControl::TakeAnsiChar(WPARAM wParam, LPARAM lParam)
{
    const auto byte = static_cast<unsigned char>(wParam);
    if (pendingLead != 0) {
        const char pair[2] = {static_cast<char>(pendingLead), static_cast<char>(byte)};
        pendingLead = 0;
        return InsertAnsiCharacter(pair, 2, lParam);
    }
    if (wParam <= 0xFF && ::IsDBCSLeadByteEx(Cp932, byte)) {
        pendingLead = byte;
        return 0;
    }
    if (wParam >= 0x80 && wParam <= 0xFF) {
        const char single = static_cast<char>(byte);
        return InsertAnsiCharacter(&single, 1, lParam);
    }
    return CallOriginal(WM_CHAR, wParam, lParam);
}

// Scintilla takes a typed character as UTF-16 and stores it in the
// document's code page, overtyping as typing does.
LRESULT ScintillaControl::InsertAnsiCharacter(const char* bytes, size_t size, LPARAM keyData)
{
    wchar_t wide[2] = {};
    const int count = ::MultiByteToWideChar(Cp932, 0, bytes, static_cast<int>(size), wide, 2);
    for (int i = 0; i < count; ++i)
        ::CallWindowProcW(prevWindowProc, hwnd, WM_CHAR, wide[i], keyData);
    return 0;
}

std::string ScintillaControl::FromAnsi(std::string_view text)
{
    std::string bytes(text);
    if (CodePage() == Utf8 && !TextEncoding(TextEncoding::Utf8).Encode(bytes))
        bytes.clear();
    return bytes;
}

// As in an Edit control, the new text cannot be undone and is the
// unmodified state; as an edit, it is a step to undo like typing.
LRESULT ScintillaControl::SetTextFromAnsi(const char* text, bool asEdit)
{
    SetBytes(FromAnsi(text != nullptr ? text : ""));
    if (!asEdit) {
        ForgetHistory();
        SetSavePoint();
    }
    return TRUE;
}

LRESULT ScintillaControl::ReplaceSelectionFromAnsi(const char* text)
{
    ReplaceSelection(FromAnsi(text != nullptr ? text : ""));
    return 0;
}

// The font's face (UTF-8 for Scintilla), size in points, weight, slant and
// character set, for every style.
void ScintillaControl::SetFontFrom(HFONT newFont)
{
    LOGFONTA logical = {};
    if (newFont == nullptr || ::GetObjectA(newFont, sizeof(logical), &logical) != sizeof(logical))
        return;
    font = newFont;
    std::string face = logical.lfFaceName;
    if (!TextEncoding(TextEncoding::Utf8).Encode(face))
        return;
    int dpi = 96;
    if (const HDC screen = ::GetDC(nullptr)) {
        dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
    const int pixels = logical.lfHeight < 0 ? -logical.lfHeight : logical.lfHeight;
    const int hundredths = std::max(100, ::MulDiv(pixels, 7200, dpi > 0 ? dpi : 96));
    Call(SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<intptr_t>(face.c_str()));
    Call(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, hundredths);
    Call(SCI_STYLESETWEIGHT, STYLE_DEFAULT, logical.lfWeight > 0 ? logical.lfWeight : FW_NORMAL);
    Call(SCI_STYLESETITALIC, STYLE_DEFAULT, logical.lfItalic != 0);
    Call(SCI_STYLESETCHARACTERSET, STYLE_DEFAULT, logical.lfCharSet);
    Call(SCI_STYLECLEARALL);
    numberDigits = 0; // the margin's digits are measured in the new font
    FitLineNumbers();
}

void ScintillaControl::ShowContextMenu(LPARAM where)
{
    const HMENU popup = ::CreatePopupMenu();
    if (popup == nullptr)
        return;
    for (const ContextItem& item : ContextItems) {
        if (item.text == nullptr) {
            ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        bool enabled = true;
        if (item.command == SCI_UNDO)
            enabled = CanUndo();
        else if (item.command == SCI_REDO)
            enabled = CanRedo();
        else if (item.command == SCI_CUT || item.command == SCI_COPY || item.command == SCI_CLEAR)
            enabled = Call(SCI_GETSELECTIONEMPTY) == 0;
        else if (item.command == SCI_PASTE)
            enabled = Call(SCI_CANPASTE) != 0;
        ::AppendMenuA(popup, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), item.command, item.text);
    }
    POINT at = {static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (where == static_cast<LPARAM>(-1)) { // from the keyboard: at the caret
        const intptr_t caret = Call(SCI_GETCURRENTPOS);
        at = {static_cast<LONG>(Call(SCI_POINTXFROMPOSITION, 0, caret)),
              static_cast<LONG>(Call(SCI_POINTYFROMPOSITION, 0, caret))};
        ::ClientToScreen(hwnd, &at);
    }
    const UINT chosen = ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                         hwnd, nullptr);
    ::DestroyMenu(popup);
    if (chosen != 0)
        Call(chosen);
}

size_t ScintillaControl::Length()
{
    return static_cast<size_t>(Call(SCI_GETLENGTH));
}

std::string_view ScintillaControl::Bytes(size_t start, size_t end)
{
    const size_t length = Length();
    end = std::min(end, length);
    start = std::min(start, end);
    if (start == end)
        return std::string_view();
    const auto* range = reinterpret_cast<const char*>(Call(SCI_GETRANGEPOINTER, start, end - start));
    return range != nullptr ? std::string_view(range, end - start) : std::string_view();
}

void ScintillaControl::SetBytes(std::string_view bytes)
{
    BeginUndoStep();
    Call(SCI_CLEARALL);
    Call(SCI_APPENDTEXT, bytes.size(), reinterpret_cast<intptr_t>(bytes.data()));
    EndUndoStep();
}

void ScintillaControl::Append(std::string_view bytes)
{
    if (!bytes.empty())
        Call(SCI_APPENDTEXT, bytes.size(), reinterpret_cast<intptr_t>(bytes.data()));
}

void ScintillaControl::ReplaceRange(size_t start, size_t end, std::string_view bytes)
{
    ReplaceBytes(start, end, bytes);
    Call(SCI_SETSEL, start + bytes.size(), static_cast<intptr_t>(start + bytes.size()));
}

void ScintillaControl::ReplaceBytes(size_t start, size_t end, std::string_view bytes)
{
    BeginUndoStep();
    Call(SCI_SETTARGETRANGE, start, static_cast<intptr_t>(end));
    Call(SCI_REPLACETARGET, bytes.size(), reinterpret_cast<intptr_t>(bytes.data()));
    EndUndoStep();
}

void ScintillaControl::SetReadOnly(bool readOnly)
{
    Call(SCI_SETREADONLY, readOnly ? 1 : 0);
}

bool ScintillaControl::IsReadOnly()
{
    return Call(SCI_GETREADONLY) != 0;
}

void ScintillaControl::ReplaceSelection(std::string_view bytes)
{
    size_t start = 0;
    size_t end = 0;
    GetSelection(&start, &end);
    ReplaceRange(start, end, bytes);
}

void ScintillaControl::GetSelection(size_t* start, size_t* end)
{
    if (start != nullptr)
        *start = static_cast<size_t>(Call(SCI_GETSELECTIONSTART));
    if (end != nullptr)
        *end = static_cast<size_t>(Call(SCI_GETSELECTIONEND));
}

void ScintillaControl::SetSelection(size_t anchor, size_t caret)
{
    Call(SCI_SETSEL, anchor, static_cast<intptr_t>(caret));
    Call(SCI_SCROLLCARET);
}

void ScintillaControl::SelectAll()
{
    Call(SCI_SELECTALL);
}

size_t ScintillaControl::LineCount()
{
    return static_cast<size_t>(Call(SCI_GETLINECOUNT));
}

size_t ScintillaControl::LineFromPosition(size_t position)
{
    return static_cast<size_t>(Call(SCI_LINEFROMPOSITION, position));
}

size_t ScintillaControl::LineStart(size_t line)
{
    const intptr_t start = Call(SCI_POSITIONFROMLINE, line);
    return start < 0 ? Length() : static_cast<size_t>(start);
}

size_t ScintillaControl::LineEnd(size_t line)
{
    return static_cast<size_t>(Call(SCI_GETLINEENDPOSITION, line));
}

size_t ScintillaControl::PositionAfter(size_t position, size_t characters, size_t limit)
{
    if (static_cast<size_t>(Call(SCI_COUNTCHARACTERS, position, static_cast<intptr_t>(limit))) <= characters)
        return limit;
    return static_cast<size_t>(Call(SCI_POSITIONRELATIVE, position, static_cast<intptr_t>(characters)));
}

unsigned ScintillaControl::CodePage()
{
    return static_cast<unsigned>(Call(SCI_GETCODEPAGE));
}

void ScintillaControl::SetCodePage(unsigned codePage)
{
    Call(SCI_SETCODEPAGE, codePage);
}

void ScintillaControl::SetLineEnding(LineEnding ending)
{
    Call(SCI_SETEOLMODE, static_cast<uintptr_t>(ending));
}

std::string ScintillaControl::LineEndingText()
{
    switch (GetLineEnding()) {
    case LineEnding::Lf:
        return "\n";
    case LineEnding::Cr:
        return "\r";
    default:
        return "\r\n";
    }
}

ScintillaControl::LineEnding ScintillaControl::GetLineEnding()
{
    return static_cast<LineEnding>(Call(SCI_GETEOLMODE));
}

size_t ScintillaControl::Caret()
{
    return static_cast<size_t>(Call(SCI_GETCURRENTPOS));
}

size_t ScintillaControl::Column(size_t position)
{
    return static_cast<size_t>(Call(SCI_GETCOLUMN, position));
}

size_t ScintillaControl::CharacterCount(size_t start, size_t end)
{
    return static_cast<size_t>(Call(SCI_COUNTCHARACTERS, start, static_cast<intptr_t>(end)));
}

size_t ScintillaControl::CharacterStart(size_t position)
{
    return static_cast<size_t>(Call(SCI_POSITIONBEFORE, position + 1));
}

size_t ScintillaControl::TabWidth()
{
    return static_cast<size_t>(Call(SCI_GETTABWIDTH));
}

bool ScintillaControl::IsOvertype()
{
    return Call(SCI_GETOVERTYPE) != 0;
}

size_t ScintillaControl::FirstVisibleLine()
{
    return static_cast<size_t>(Call(SCI_GETFIRSTVISIBLELINE));
}

void ScintillaControl::SetFirstVisibleLine(size_t line)
{
    Call(SCI_SETFIRSTVISIBLELINE, line);
}

void ScintillaControl::ShowLineNumbers(bool show)
{
    lineNumbers = show;
    numberDigits = 0;
    Call(SCI_SETMARGINTYPEN, 0, SC_MARGIN_NUMBER);
    FitLineNumbers();
}

// Measured only when the count gains or loses a digit: this runs as the
// user types.
void ScintillaControl::FitLineNumbers()
{
    int digits = 0;
    for (size_t lines = LineCount(); lines > 0; lines /= 10)
        ++digits;
    digits = std::max(digits, 2);
    if (!lineNumbers) {
        if (numberWidth != 0)
            Call(SCI_SETMARGINWIDTHN, 0, 0);
        numberWidth = 0;
        return;
    }
    if (digits == numberDigits)
        return;
    numberDigits = digits;
    const std::string widest = "_" + std::string(static_cast<size_t>(digits), '9');
    constexpr int Padding = 4; // keeps the numbers off the text
    numberWidth = Padding + static_cast<int>(Call(SCI_TEXTWIDTH, STYLE_LINENUMBER, reinterpret_cast<intptr_t>(widest.c_str())));
    Call(SCI_SETMARGINWIDTHN, 0, numberWidth);
}

void ScintillaControl::SetWrap(bool wrap)
{
    Call(SCI_SETWRAPMODE, wrap ? SC_WRAP_CHAR : SC_WRAP_NONE);
}

int ScintillaControl::Zoom()
{
    return static_cast<int>(Call(SCI_GETZOOM));
}

// The margin's digits grow with the text.
void ScintillaControl::SetZoom(int points)
{
    Call(SCI_SETZOOM, static_cast<uintptr_t>(points));
    numberDigits = 0;
    FitLineNumbers();
}

void ScintillaControl::Undo()
{
    Call(SCI_UNDO);
}

void ScintillaControl::Redo()
{
    Call(SCI_REDO);
}

bool ScintillaControl::CanUndo()
{
    return Call(SCI_CANUNDO) != 0;
}

bool ScintillaControl::CanRedo()
{
    return Call(SCI_CANREDO) != 0;
}

void ScintillaControl::BeginUndoStep()
{
    Call(SCI_BEGINUNDOACTION);
}

void ScintillaControl::EndUndoStep()
{
    Call(SCI_ENDUNDOACTION);
}

void ScintillaControl::SetSavePoint()
{
    Call(SCI_SETSAVEPOINT);
}

bool ScintillaControl::IsModified()
{
    return Call(SCI_GETMODIFY) != 0;
}

void ScintillaControl::KeepHistory(bool keep)
{
    Call(SCI_SETUNDOCOLLECTION, keep ? 1 : 0);
}

void ScintillaControl::ForgetHistory()
{
    Call(SCI_EMPTYUNDOBUFFER);
}

void* ScintillaControl::Document()
{
    return reinterpret_cast<void*>(Call(SCI_GETDOCPOINTER));
}

void ScintillaControl::SetDocument(void* document)
{
    Call(SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(document));
}

void ScintillaControl::AddDocumentReference(void* document)
{
    Call(SCI_ADDREFDOCUMENT, 0, reinterpret_cast<intptr_t>(document));
}

void ScintillaControl::ReleaseDocument(void* document)
{
    Call(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<intptr_t>(document));
}

void ScintillaControl::NewDocument()
{
    void* document = reinterpret_cast<void*>(Call(SCI_CREATEDOCUMENT, 0, SC_DOCUMENTOPTION_STYLES_NONE));
    if (document == nullptr)
        return;
    SetDocument(document);
    ReleaseDocument(document); // the pane's own reference keeps it
    SetCodePage(Cp932);
}

void ScintillaControl::AdoptDocument(void* document)
{
    SetDocument(document);
    ReleaseDocument(document);
}

ScintillaControl::Loading::Loading()
{
    window = ::CreateWindowExA(0, ClassName, "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, ApplicationInstance(), nullptr);
    if (window == nullptr)
        return;
    direct = reinterpret_cast<DirectFunction>(::SendMessageA(window, SCI_GETDIRECTFUNCTION, 0, 0));
    directPointer = ::SendMessageA(window, SCI_GETDIRECTPOINTER, 0, 0);
}

ScintillaControl::Loading::~Loading()
{
    if (loader != nullptr)
        loader->Release();
    if (document != nullptr) {
        Call(SCI_SETDOCPOINTER); // the window's own reference goes
        Call(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<intptr_t>(document));
    }
    if (window != nullptr)
        ::DestroyWindow(window);
}

intptr_t ScintillaControl::Loading::Call(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return direct != nullptr ? direct(directPointer, message, wParam, lParam) : 0;
}

// Without the large option Scintilla keeps line starts in 32 bits, even
// where its positions have 64.
uint64_t ScintillaControl::Loading::MostBytes(bool large)
{
    return large ? static_cast<uint64_t>(PTRDIFF_MAX) : static_cast<uint64_t>(INT32_MAX);
}

bool ScintillaControl::Loading::Start(size_t bytes, bool large)
{
    const int options = SC_DOCUMENTOPTION_STYLES_NONE | (large ? SC_DOCUMENTOPTION_TEXT_LARGE : 0);
    loader = reinterpret_cast<Scintilla::ILoader*>(Call(SCI_CREATELOADER, bytes, options));
    room = MostBytes(large);
    return loader != nullptr;
}

bool ScintillaControl::Loading::Add(std::string_view bytes)
{
    if (loader == nullptr || bytes.size() > room)
        return false;
    room -= bytes.size();
    return bytes.empty() || loader->AddData(bytes.data(), static_cast<Sci_Position>(bytes.size())) == SC_STATUS_OK;
}

// The hidden window shows the document, so that its bytes can be read; the
// loader's reference stays for the pane.
bool ScintillaControl::Loading::Finish()
{
    if (loader == nullptr)
        return false;
    document = loader->ConvertToDocument();
    loader = nullptr;
    if (document != nullptr)
        Call(SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(document));
    return document != nullptr;
}

// A range, unlike the character pointer, needs no room for an ending zero,
// which would make Scintilla copy a document filled to its last byte.
std::string_view ScintillaControl::Loading::Bytes()
{
    const auto length = static_cast<size_t>(Call(SCI_GETLENGTH));
    const auto* bytes = reinterpret_cast<const char*>(Call(SCI_GETRANGEPOINTER, 0, static_cast<intptr_t>(length)));
    return bytes != nullptr ? std::string_view(bytes, length) : std::string_view();
}

void* ScintillaControl::Loading::Take()
{
    void* taken = document;
    if (taken != nullptr)
        Call(SCI_SETDOCPOINTER); // the hidden window lets go of it
    document = nullptr;
    return taken;
}
