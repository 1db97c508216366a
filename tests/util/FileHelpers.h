// Whole-file helpers for the utility tests, written with plain Win32 calls so
// the library's own file code is not checked with itself.
#pragma once

#include <string>

bool WriteTextFile(const std::string& path, const std::string& content);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
