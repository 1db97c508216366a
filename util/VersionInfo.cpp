#include "util/VersionInfo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "util/StringUtils.h"

namespace {

// The block is fixed: Japanese (0411) with the Unicode code page (04b0); the
// resource's translation table is not consulted.
const char versionQueryFormat[] = "\\StringFileInfo\\041104b0\\%s";

// The version block, whose size comes from the file: a failed allocation is
// a failure result, not an exception.
std::unique_ptr<char[]> ReadVersionBlock(const std::string& path)
{
    DWORD unused = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &unused);
    if (size == 0)
        return nullptr;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (block == nullptr)
        return nullptr;
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.get()))
        return nullptr;
    return block;
}

// Leading blanks skipped, an optional sign, digits up to the first other
// character; no digits count as 0.
uint32_t LeadingInteger(const std::string& piece)
{
    return static_cast<uint32_t>(std::strtol(piece.c_str(), nullptr, 10));
}

}  // namespace

uint32_t GetFileVersion(std::string path)
{
    const std::unique_ptr<char[]> block = ReadVersionBlock(path);
    if (block == nullptr)
        return 0;

    char query[260];
    std::snprintf(query, sizeof(query), versionQueryFormat, "FileVersion");
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.get(), query, &value, &length) || value == nullptr)
        return 0;
    const char* text = static_cast<const char*>(value);
    std::vector<std::string> parts;
    Split(",", std::string(text, strnlen(text, length)), &parts);
    if (parts.size() < 4)
        return 0;

    uint32_t version = 0;
    for (size_t i = 0; i < 4; ++i)
        version = (version << 8) | LeadingInteger(parts[i]);
    return version;
}

BOOL WriteIniInt(const std::string& section, const std::string& key, int value,
                 const std::string& file)
{
    char text[20];
    std::snprintf(text, sizeof(text), "%d", value);
    return WriteIniString(section, key, text, file);
}

BOOL WriteIniString(const std::string& section, const std::string& key, const std::string& text,
                    const std::string& file)
{
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), text.c_str(), file.c_str());
}
