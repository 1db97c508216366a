// Version resource and INI helpers: a module's file version packed into one
// number, and an integer written to an INI file.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Win32.h"

// The "FileVersion" text of the Japanese/Unicode string block (041104b0) of
// the file's version resource, split at commas, with its first four parts
// packed from the most significant byte down: "1, 0, 0, 1" is 0x01000001.
// Parts are OR-ed in unmasked, so one above 255 spills into its neighbour.
// 0 when the file, the resource, the block or the entry is missing, or when
// the text has fewer than four comma-separated parts.
uint32_t GetFileVersion(std::string path);

// Writes value as signed decimal text under section/key of the INI file;
// the result of WritePrivateProfileStringA.
BOOL WriteIniInt(const std::string& section, const std::string& key, int value,
                 const std::string& file);

// Writes text under section/key of the INI file; the result of
// WritePrivateProfileStringA.
BOOL WriteIniString(const std::string& section, const std::string& key, const std::string& text,
                    const std::string& file);
