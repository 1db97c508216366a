// PathText: the separator questions of narrow (code page 932) paths, asked
// character by character. The byte 0x5C ('\\') is also the trail byte of
// ソ, 表, 能, 予, 十..., so a byte test takes "…\ソ" for a path ending in a
// separator and splits "…\表.txt" inside a character.
#pragma once

#include <string>
#include <string_view>

// Whether the path's last character is '\\' or '/'.
bool EndsWithSeparator(std::string_view path);
// Appends '\\' unless the path already ends with a separator.
void AppendSeparator(std::string& path);
// The folder part: everything up to and including the last separator
// character, or "" when there is none.
std::string FolderPart(std::string_view path);
