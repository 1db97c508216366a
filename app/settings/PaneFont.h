// PaneFont: the font both panes show, chosen in the system's font dialog and
// kept per user in the settings file. Until one is chosen the panes keep the
// font they start with. A member of the main window, which hands it the panes.
#pragma once

#include <memory>

#include "framework/Window.h"
#include "util/Font.h"

class PaneFont {
public:
    // Shows the font the settings remember in both panes; 1 when there was one.
    int Load(Window& left, Window& right);
    // Opens the font dialog on the panes' font (with the Japanese script the
    // first time); a chosen font is shown in both panes and remembered, and
    // the result is 1.
    int Choose(Window& owner, Window& left, Window& right);

private:
    int Show(const LOGFONTA& description, Window& left, Window& right);
    void Save() const;

    LOGFONTA logFont = {};
    // Replaced whole, once the panes show the new font: the old one is
    // deleted only when no pane uses it.
    std::unique_ptr<Font> font;
};
