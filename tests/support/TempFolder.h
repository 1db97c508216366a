// TempFolder: a new, empty folder under GetTempPathA for one test, removed
// with everything below it when the object goes (read-only and hidden files
// included). Also reads and writes whole files with plain Win32 calls, so
// tests of the library's own file code do not check it with itself.
#pragma once

#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    // False when the folder could not be made.
    bool IsReady() const { return !path.empty(); }
    // The folder, without a trailing separator.
    const std::string& Path() const { return path; }
    // The full path of name inside the folder (name may hold sub-folders).
    std::string PathOf(const std::string& name) const;
    std::string operator/(const std::string& name) const { return PathOf(name); }

    // Creates (or replaces) name with exactly these bytes; its full path, or
    // "" on failure.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // Makes a sub-folder; its full path, or "" on failure.
    std::string MakeFolder(const std::string& name) const;
    // The names directly inside the folder (or inside its sub-folder), sorted.
    std::vector<std::string> Entries(const std::string& subfolder = "") const;
    // The names directly inside any folder, sorted.
    static std::vector<std::string> EntriesOf(const std::string& folder);

    // Whole-file reading for any path; false when it cannot be read.
    static bool ReadBytes(const std::string& fullPath, std::string& out);

private:
    std::string path;
};
