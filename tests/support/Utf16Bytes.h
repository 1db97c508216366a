// Utf16Bytes: UTF-16 text as the bytes of a file, little or big endian, with
// or without the byte-order mark first, for the tests' sample files.
#pragma once

#include <string>

std::string Utf16Bytes(const std::u16string& text, bool bigEndian, bool withMark);
