// UserFolder: a folder of the user's profile as the environment names it
// (APPDATA, LOCALAPPDATA), else as the shell gives it (a CSIDL_ value); ""
// when neither knows it. The environment comes first so that a test, or an
// administrator, can point the editor elsewhere.
#pragma once

#include <string>

std::string UserFolder(const char* environmentVariable, int shellFolder);
