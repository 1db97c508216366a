// TempFolder: a fresh folder under GetTempPathA for one test, removed with
// everything in it when the object goes out of scope. Also small file helpers.
#pragma once

#include <string>

// Its own namespace: tests/support has a TempFolder too, linked into every
// test program.
namespace util_tests {

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    // The folder's path, without a trailing backslash.
    const std::string& Path() const { return path; }
    // Path() + "\\" + name.
    std::string operator/(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
};

} // namespace util_tests

using util_tests::TempFolder;

bool WriteTextFile(const std::string& path, const std::string& content);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
