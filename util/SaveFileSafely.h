// SaveFileSafely: writes a whole file so that a failure never costs the old
// contents. The bytes go to a new temporary file in the target's folder,
// which takes the target's place only after every byte was written and
// flushed: ReplaceFileA over an existing target (its attributes stay),
// MoveFileExA where there is none. On failure the temporary file is removed
// and the target is untouched; a target that cannot be written is refused
// before any file is made. A target that another program holds open
// without delete sharing cannot be replaced: it is written in place, after
// a backup of its bytes beside it that puts them back if the write fails.
// A target that is a link is saved through to the file it points to.
#pragma once

#include <cstddef>
#include <string>

// 1 when the file now holds exactly size bytes from data, else 0.
int SaveFileSafely(const std::string& path, const char* data, size_t size);
