// ScintillaControl: a Control of Scintilla's window class, the editing
// component of the editor's panes, and the only code that sends it SCI_
// messages. A pane holds its document's bytes as they are, in the document's
// code page (932, or 65001 for UTF-8), NUL bytes included; every offset here
// is a byte offset into those bytes. Documents are Scintilla's own reference-
// counted objects: a pane can trade its document for another one (a loaded
// file, the other pane's) without copying text.
//
// The pane also keeps answering what other programs send an Edit control:
// Scintilla, a Unicode window, takes the text of WM_SETTEXT and EM_REPLACESEL
// sent by ANSI callers as bytes of UTF-16, ignores EM_GETMODIFY, EM_UNDO and
// EM_POSFROMCHAR, and splits a WM_IME_CHAR into two wrong bytes; those are
// answered here, in the document's encoding. WM_SETFONT sets the font of all
// its text. In the document pane (MakeDocumentPane) no other program can mark
// the text saved: the text it sets is an edit, and EM_SETMODIFY is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Control.h"

namespace Scintilla {
class ILoader;
}

class ScintillaControl : public Control {
public:
    // The code pages a pane can hold: double-byte code page 932, or UTF-8.
    static constexpr unsigned Cp932 = 932;
    static constexpr unsigned Utf8 = 65001;
    enum class LineEnding { CrLf = 0, Cr = 1, Lf = 2 };

    ScintillaControl();
    ~ScintillaControl() override = default;

    int CanCreate() override;
    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Creates the window (as Control::Create) and sets it up as a pane.
    int Create(DWORD newStyle, Rect rect, Window* parentWindow, int id);
    // The pane of the user's document: each insertion and deletion is told to
    // the parent (SCN_MODIFIED), and other programs cannot mark it saved.
    void MakeDocumentPane();

    // The document's bytes.
    size_t Length();
    // A view of the bytes start..end, valid until the next change.
    std::string_view Bytes(size_t start = 0, size_t end = std::string::npos);
    // Replaces every byte, as one step the user can undo.
    void SetBytes(std::string_view bytes);
    // Adds bytes after the last one, leaving the selection and the view
    // alone.
    void Append(std::string_view bytes);
    // Replaces start..end with bytes as one undo step, the caret then after
    // them (as EM_REPLACESEL leaves it).
    void ReplaceRange(size_t start, size_t end, std::string_view bytes);
    // The same, the selection left where the change moves it; within an
    // undo step begun by the caller, a part of that step.
    void ReplaceBytes(size_t start, size_t end, std::string_view bytes);
    // A read-only document takes no change, from the user or a program.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly();
    void ReplaceSelection(std::string_view bytes);

    // The selection in order (start <= end).
    void GetSelection(size_t* start, size_t* end);
    // Selects anchor..caret and brings the caret into view.
    void SetSelection(size_t anchor, size_t caret);
    void SelectAll();

    // Lines, 0-based, and character steps in the document's code page.
    size_t LineCount();
    size_t LineFromPosition(size_t position);
    size_t LineStart(size_t line);
    size_t LineEnd(size_t line);
    // The position `characters` characters after position, no further than
    // limit.
    size_t PositionAfter(size_t position, size_t characters, size_t limit);

    unsigned CodePage();
    void SetCodePage(unsigned codePage);
    // Text in code page 932 (the program's own) as bytes of the document's
    // code page.
    std::string FromAnsi(std::string_view text);
    // The line end that Enter and pasted text get.
    void SetLineEnding(LineEnding ending);
    // What Enter inserts: "\r\n", "\n" or "\r".
    std::string LineEndingText();
    LineEnding GetLineEnding();

    // Where the user is: the caret, its 0-based column (characters from the
    // line's start, a tab counted to its stop), the characters between two
    // positions, and whether typing overwrites.
    size_t Caret();
    size_t Column(size_t position);
    size_t CharacterCount(size_t start, size_t end);
    // Where the character holding position starts (position itself between
    // characters), and the columns from one tab stop to the next.
    size_t CharacterStart(size_t position);
    size_t TabWidth();
    bool IsOvertype();
    size_t FirstVisibleLine();
    void SetFirstVisibleLine(size_t line);

    // The view: a line-number margin wide enough for the line count (Fit
    // after the text or the zoom changed), wrapping at the window's edge
    // between any two characters, and the zoom in points added to the font.
    void ShowLineNumbers(bool show);
    void FitLineNumbers();
    void SetWrap(bool wrap);
    int Zoom();
    void SetZoom(int points);

    // Undo, redo and the save point (the text as last opened or saved).
    void Undo();
    void Redo();
    bool CanUndo();
    bool CanRedo();
    void BeginUndoStep();
    void EndUndoStep();
    void SetSavePoint();
    bool IsModified();
    // Off for a pane that only receives text: its history would double it.
    void KeepHistory(bool keep);
    void ForgetHistory();

    // The document object, for trading documents between panes and taking a
    // loaded one. The pane holds a reference of its own to what it shows.
    void* Document();
    void SetDocument(void* document);
    void AddDocumentReference(void* document);
    void ReleaseDocument(void* document);
    // A new empty document in place of the pane's one.
    void NewDocument();
    // A document made by Loading: the pane shows it and holds the reference
    // that came with it.
    void AdoptDocument(void* document);

    class Loading;

    using DirectFunction = intptr_t (*)(intptr_t, unsigned, uintptr_t, intptr_t);

private:
    intptr_t Call(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0);
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);
    // Edit messages from ANSI callers, in the document's encoding.
    // WM_SETTEXT, as in an Edit control, leaves nothing to undo, unless it
    // is an edit like any other (asEdit).
    LRESULT SetTextFromAnsi(const char* text, bool asEdit);
    LRESULT ReplaceSelectionFromAnsi(const char* text);
    // One character typed as code page 932 bytes (an IME character, or a
    // lead byte then its trail byte as WM_CHAR), inserted as the character.
    LRESULT InsertAnsiCharacter(const char* bytes, size_t size, LPARAM keyData);
    LRESULT TakeAnsiChar(WPARAM wParam, LPARAM lParam);
    void SetFontFrom(HFONT font);
    // Undo, cut, copy, paste... at the mouse, or at the caret from the keyboard.
    void ShowContextMenu(LPARAM where);

    DirectFunction direct = nullptr;
    intptr_t directPointer = 0;
    HFONT font = nullptr;
    // A lead byte that came alone as WM_CHAR; its trail byte comes next.
    unsigned char pendingLead = 0;
    bool lineNumbers = false;
    bool documentPane = false;
    // The margin's width as last fitted, and the digits it was fitted for.
    int numberDigits = 0;
    int numberWidth = 0;
};

// Loading: a new document filled on the thread that makes this object, away
// from the panes, through a hidden Scintilla window of that thread: the
// memory of a large file is taken, and what the document holds is read back,
// without the panes' thread waiting. A pane of any thread then adopts the
// document. Everything but the adoption happens on the making thread. The
// window is message-only: a program that sends a message to every top-level
// window never waits for a load.
class ScintillaControl::Loading {
public:
    Loading();
    Loading(const Loading&) = delete;
    Loading& operator=(const Loading&) = delete;
    // An unfinished or untaken document goes with it.
    ~Loading();

    // The most bytes a document holds: 2 GB less one byte, or, made large
    // (Scintilla's large-document option), what the build's positions reach.
    static uint64_t MostBytes(bool large);
    // Room for a document of `bytes` bytes, large or not; false when memory
    // ran out.
    bool Start(size_t bytes, bool large);
    // False when memory ran out or the document would pass MostBytes.
    bool Add(std::string_view bytes);
    // The document is whole: its bytes can be read here.
    bool Finish();
    std::string_view Bytes();
    // The finished document, with one reference for the pane that adopts it.
    void* Take();

private:
    intptr_t Call(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0);

    HWND window = nullptr;
    DirectFunction direct = nullptr;
    intptr_t directPointer = 0;
    Scintilla::ILoader* loader = nullptr;
    void* document = nullptr;
    uint64_t room = 0;
};
