// RecentFiles: the last ten documents opened or saved, most recent first,
// kept per user in the settings file and listed in the ファイル menu above
// アプリケーションの終了 as "&1 path" ... "&0 path" (long paths shortened in
// the middle). A member of the main window, which adds to it after every
// open and save and asks it which path a menu command stands for.
#pragma once

#include <string>
#include <vector>

#include "framework/Win32.h"

class RecentFiles {
public:
    static constexpr int Limit = 10;
    // Longer paths are shortened in the menu, in bytes.
    static constexpr size_t LabelBytes = 60;

    // Reads the list from the user's settings.
    void Load();
    // Puts path first (once, whatever its letter case) and saves the list.
    void Add(const std::string& path);
    // Takes path off the list and saves it.
    void Remove(const std::string& path);
    const std::vector<std::string>& Paths() const { return paths; }
    // The path a menu command stands for, or "" for any other command.
    std::string PathFor(WORD commandId) const;

    // Replaces the list's items in the menu that holds exitCommand, above it,
    // between two separators (none while the list is empty).
    void ShowIn(HMENU menu, UINT exitCommand) const;

    // "&1 C:\...\folder\file.txt": the number key, then the path shortened
    // in the middle to maxBytes (never inside a double-byte character), its
    // '&' doubled so that it shows as itself.
    static std::string MenuLabel(size_t index, const std::string& path, size_t maxBytes = LabelBytes);
    static std::string ShortenPath(const std::string& path, size_t maxBytes);

private:
    void Save() const;

    std::vector<std::string> paths;
};
