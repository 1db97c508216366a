// Directory utilities: copying the files of one folder into another, and
// telling whether a path or wildcard pattern names a plain folder. Paths are
// ANSI (code page 932) strings.
#pragma once

#include <string>

// Copies every file directly inside source into destination (one level: no
// sub-folder is made or entered), replacing files of the same name. Makes
// destination itself when missing, but not its parents. 1 when every file was
// copied; 0 when a path is empty, destination could not be made, source could
// not be searched or any copy failed; the other files are copied all the same.
int CopyDirectoryFiles(std::string destination, std::string source);

// 1 as soon as an entry matching the path (wildcards allowed) has attributes
// exactly FILE_ATTRIBUTE_DIRECTORY; a read-only, hidden or otherwise marked
// folder does not count. 0 otherwise.
int IsDirectory(std::string path);
