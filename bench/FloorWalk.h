// FloorWalk: the bare cost the benchmark compares grep and the listing with:
// the same folders enumerated (FindFirstFileA, FindNextFileA, FindClose) and,
// for grep, the same files read whole (CreateFileA, GetFileSize, ReadFile,
// CloseHandle) into one reused buffer, and nothing else.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class FloorWalk {
public:
    struct Totals {
        uint64_t files = 0;
        uint64_t folders = 0;
        uint64_t bytes = 0;
    };

    explicit FloorWalk(bool readFiles);
    Totals Run(const std::string& folder);

private:
    void WalkLevel(const std::string& folder);
    void ReadFile(const std::string& path);

    bool readFiles;
    Totals totals;
    std::unique_ptr<char[]> buffer;
    size_t capacity = 0;
};
