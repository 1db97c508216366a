// File: owner of one Win32 file handle, opened for writing or for reading.
// A file opened for reading can be loaded whole into memory at open time
// (loaded mode); reads, seeks, sizes and line reading are then served from
// that image. Otherwise every operation goes to the handle (streaming mode).
// The object owns the handle and the image and releases both when closed.
#pragma once

#include <memory>
#include <string>

#include "framework/Win32.h"

class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~File();

    // Opening and closing. Open closes a file held before, even when the new
    // open fails. Writing always creates or truncates; loadWhole is ignored.
    int Open(std::string filePath, int forRead, int loadWhole);
    int Close();
    int IsOpen() const;

    // Reading and writing. Read returns the count delivered; a loaded image
    // never delivers less than asked (it fails instead).
    DWORD Read(void* dst, DWORD count);
    int ReadExact(void* dst, DWORD count);
    int Write(const void* src, DWORD count);
    // Loaded mode only: the next line with its '\n' kept; 0 at the end.
    int ReadLine(std::string& out);

    // Position and size. Sizes are 32-bit: GetSize reports INVALID_FILE_SIZE
    // for a file of 4 GiB or more, and such a file does not load.
    int Seek(int origin, LONG offset);
    DWORD Tell();
    DWORD GetSize();

    const std::string& GetPath() const { return path; }

    // What the system knows of the file at path (its identity, its count of
    // names), asked without reading or writing it; 0 when it cannot be asked.
    static int QueryInformation(const std::string& path, BY_HANDLE_FILE_INFORMATION* info);

private:
    int Load();
    int IsLoaded() const { return buffer != nullptr; }
    DWORD Remaining() const { return size - position; }
    void Release();

    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string path;
    std::unique_ptr<char[]> buffer;
    DWORD size = 0;
    DWORD position = 0;
};
