// StatusCount: the status bar's two counts that grow with the text, the
// selection's characters and the caret's column, made a bounded stretch of
// bytes at a time and remembered. Scrolling counts nothing again, moving an
// end of the selection counts only what it moved over, and a count over
// many megabytes goes on a stretch at each call while the window answers.
// A member of the StatusBar.
#pragma once

#include <cstddef>
#include <optional>

class ScintillaControl;

class StatusCount {
public:
    // The bytes one call counts at most: about 20 ms under Wine.
    static constexpr size_t StepBytes = 1u << 20;

    // Counts up to StepBytes more for what the pane shows now.
    void Advance(ScintillaControl& pane);
    // The counts once whole.
    std::optional<size_t> Characters() const;
    std::optional<size_t> Column() const;
    bool Pending() const { return !selection.Done() || !column.Done(); }
    // The text of document changed: what was counted in it no longer holds.
    void TextChanged(const void* document);

private:
    // Characters (or columns, a tab counted to its stop) from `from` to
    // `reached`, on the way to `to`, in one document of one length.
    struct Tally {
        const void* document = nullptr;
        size_t length = 0;
        size_t from = 0;
        size_t to = 0;
        size_t reached = 0;
        size_t count = 0;
        bool Done() const { return document != nullptr && reached == to; }
    };
    // Sets the tally on from..to, keeping what it knows of the document.
    static void Aim(ScintillaControl& pane, Tally& tally, size_t from, size_t to, bool columns);
    // Counts at most `bytes` more; returns the bytes counted.
    static size_t Step(ScintillaControl& pane, Tally& tally, size_t bytes, bool columns);
    // Whether a whole tally's ends can move to newFrom..newTo by counting
    // only the bytes they pass.
    static bool CanShift(ScintillaControl& pane, const Tally& tally, size_t newFrom, size_t newTo, bool columns);

    Tally selection;
    Tally column;
};
