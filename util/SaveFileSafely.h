// SaveFileSafely: writes a whole file so that a failure never costs the old
// contents. The bytes go to a new temporary file in the target's folder,
// which takes the target's place only after every byte was written and
// flushed: ReplaceFileA over an existing target (its attributes stay),
// MoveFileExA where there is none. On failure the temporary file is removed
// and the target is untouched; a target that cannot be written is refused
// before any file is made. Should a failed replace take the target's name
// away, the temporary file holds the only copy of the new text and stays.
// An existing target is written in place instead when it cannot be replaced
// (another program holds it open without delete sharing), when other names
// lead to it (hard links, which a replace would part) and when no new file
// may be made beside it; a backup of its bytes, beside it or else in the
// user's temporary folder, puts them back if the write fails.
// A target that is a link is saved through to the file it points to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What a failed save leaves that the user must be told of.
struct SaveFailure {
    enum class Kind {
        Unchanged,    // the target is as it was, and no other file is left
        NewTextKept,  // the target's name is gone; path holds the new text
        OldBytesKept, // the target is partly written; path holds its old bytes
        NoBackup,     // no backup could be made anywhere, so nothing changed
    };
    Kind kind = Kind::Unchanged;
    std::string path;
};

// A file's bytes in two parts, written one after the other, so that a text
// is saved from where it lies with a mark before it and no copy of both.
struct FileContents {
    std::string_view head;
    std::string_view body;
};

// 1 when the file now holds exactly size bytes from data, else 0 with what
// is left told in failure (when given).
int SaveFileSafely(const std::string& path, const char* data, size_t size, SaveFailure* failure = nullptr);
int SaveFileSafely(const std::string& path, const FileContents& contents, SaveFailure* failure = nullptr);
