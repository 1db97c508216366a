// StatusBar: the system's status control along the bottom of the main window,
// describing the pane that has the focus: the caret's line and column, the
// selection's length, the encoding, the line ends and the typing mode, with a
// note in front. A member of the main window, which creates, places and
// feeds it.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "app/documents/DocumentFormat.h"
#include "app/status/StatusCount.h"
#include "framework/Win32.h"

class ScintillaControl;
class Window;

class StatusBar {
public:
    // What a pane shows, in the bar's own words.
    struct Texts {
        std::string position;  // "N 行, M 列"
        std::string selection; // "K 文字選択" when there is a selection
        std::string encoding;
        std::string lineEnds;
        std::string mode; // "挿入" or "上書"
    };

    bool Create(Window& parent, int id);
    void Show(bool show);
    bool IsShown() const { return shown; }
    // The height it takes from the client area: 0 when hidden.
    int Height() const;
    // Follows the parent's new size.
    void Fit();

    void ShowTexts(const Texts& texts);
    // A note that stays until the next one (empty clears it).
    void ShowNote(const std::string& note);

    // What the pane shows now. A count too long for one call shows "…" and
    // goes on at the next: call again while Counting().
    Texts Describe(ScintillaControl& pane, const DocumentFormat& format);
    bool Counting() const { return count.Pending(); }
    // The text of a pane's document changed.
    void TextChanged(const void* document) { count.TextChanged(document); }
    static const char* EncodingName(TextEncoding encoding);
    // A document with no line end yet shows what Enter would give.
    static const char* LineEndsName(DocumentFormat::LineEnds ends, int paneLineEnding);

private:
    enum Part { Note, Position, Selection, Encoding, LineEnds, Mode, PartCount };
    void SetPart(Part part, const std::string& text);

    HWND handle = nullptr;
    bool shown = false;
    // What each part shows, so that an unchanged part is not redrawn.
    std::array<std::string, PartCount> parts;
    StatusCount count;
};
