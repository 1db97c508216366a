// FileStamp: what the editor knows of a file on disk without reading it, its
// size and last-write time, so that a change by another program is noticed.
// A value; the main window keeps the stamp of what it last read or wrote.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

class FileStamp {
public:
    // The file as it is now; a stamp that says "missing" when it is gone.
    static FileStamp Of(const std::string& path);
    FileStamp() = default;
    // A stamp of an existing file, kept from earlier (in a recovery copy).
    FileStamp(std::string filePath, uint64_t fileSize, uint64_t lastWritten)
        : path(std::move(filePath)), exists(true), size(fileSize), written(lastWritten)
    {
    }

    bool Exists() const { return exists; }
    uint64_t Size() const { return size; }
    const std::string& Path() const { return path; }
    uint64_t Written() const { return written; }
    bool operator==(const FileStamp& other) const
    {
        return path == other.path && exists == other.exists && size == other.size && written == other.written;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }

private:
    std::string path;
    bool exists = false;
    uint64_t size = 0;
    uint64_t written = 0;
};
