// FileFilter: one entry of a file dialog's type list, a pattern such as
// "*.txt" and the text the user sees for it. A plain value.
#pragma once

#include <string>

struct FileFilter {
    std::string pattern;
    std::string description;
};
