#include "util/FileDialog.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "framework/Window.h"

// The product is 32-bit: there the full record is 88 bytes and the form that
// systems before Windows 2000 know is 76.
#if defined(__i386__)
static_assert(sizeof(OPENFILENAMEA) == 88, "full OPENFILENAMEA record");
static_assert(offsetof(OPENFILENAMEA, pvReserved) == 76, "OPENFILENAMEA before Windows 2000");
#endif

namespace {

// Zero-filled bytes, or null when memory is short.
std::unique_ptr<char[]> ZeroedBytes(size_t count)
{
    return std::unique_ptr<char[]>(new (std::nothrow) char[count]());
}

// 0 when the version cannot be read: then the older, shorter record is used.
DWORD MajorVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExA(&info))
        return 0;
    return info.dwMajorVersion;
}

// How many leading bytes of text fit into limit bytes without splitting a
// double-byte character.
size_t FittingLength(const std::string& text, size_t limit)
{
    size_t length = 0;
    while (length < text.size()) {
        bool pair = ::IsDBCSLeadByte(static_cast<BYTE>(text[length])) && length + 1 < text.size();
        size_t step = pair ? 2 : 1;
        if (length + step > limit)
            break;
        length += step;
    }
    return length;
}

char* AppendWithNul(char* out, const std::string& text)
{
    std::memcpy(out, text.data(), text.size());
    out[text.size()] = '\0';
    return out + text.size() + 1;
}

} // namespace

FileDialog::FileDialog() : ofn()
{
    ofn.Flags = DefaultFlags;
    if (MajorVersion() >= 5) {
        ofn.lStructSize = sizeof(ofn);
        // Windows 2000 and later would otherwise show the places bar.
        ofn.FlagsEx = OFN_EX_NOPLACESBAR;
    } else {
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    }
}

FileDialog::~FileDialog() = default;

void FileDialog::AddFilter(const FileFilter& filter)
{
    filters.push_back(filter);
}

int FileDialog::AddFilters(const FileFilter* list, int count)
{
    if (list == nullptr || count <= 0)
        return 0;
    filters.insert(filters.end(), list, list + count);
    return count;
}

void FileDialog::SetFlags(int flags)
{
    ofn.Flags = static_cast<DWORD>(flags);
}

void FileDialog::SetCustomPart(const char* templateName, LPOFNHOOKPROC hook, LPARAM data)
{
    partHook = hook;
    ofn.hInstance = ::GetModuleHandleA(nullptr);
    ofn.lpTemplateName = templateName;
    ofn.lpfnHook = hook;
    ofn.lCustData = data;
}

BOOL FileDialog::Show(Window& owner, int mode)
{
    if (PrepareFileBuffer() == 0 || BuildFilterList() == 0)
        return FALSE;
    if (partHook != nullptr)
        ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    ofn.hwndOwner = owner.GetHandle();
    ofn.lpstrDefExt = defaultExt.c_str();
    ofn.lpstrInitialDir = initialDir.c_str();
    ofn.lpstrTitle = title.c_str();
    return mode == 1 ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
}

int FileDialog::PrepareFileBuffer()
{
    if (fileBuffer == nullptr) {
        fileBuffer = ZeroedBytes(FileBufferSize);
        if (fileBuffer == nullptr)
            return 0;
        ofn.lpstrFile = fileBuffer.get();
        ofn.nMaxFile = FileBufferSize;
    }
    // Each showing starts from fileName, not from the last choice. A name too
    // long for the buffer is cut (at a character boundary) so the copy stays
    // inside it.
    size_t length = FittingLength(fileName, FileBufferSize - 1);
    std::memcpy(fileBuffer.get(), fileName.data(), length);
    fileBuffer[length] = '\0';
    return 1;
}

// Pairs of description and pattern, each with its NUL, then one more NUL.
int FileDialog::BuildFilterList()
{
    size_t total = 2;
    for (const FileFilter& filter : filters)
        total += filter.pattern.size() + 1 + filter.description.size() + 1;
    // The spare last byte is zeroed too, so even a list without entries ends
    // in the two NULs the system looks for.
    std::unique_ptr<char[]> list = ZeroedBytes(total);
    if (list == nullptr)
        return 0;
    char* out = list.get();
    for (const FileFilter& filter : filters) {
        out = AppendWithNul(out, filter.description);
        out = AppendWithNul(out, filter.pattern);
    }
    filterList = std::move(list);
    filterListSize = total;
    ofn.lpstrFilter = filterList.get();
    return 1;
}

std::string FileDialog::GetFilterList() const
{
    if (filterList == nullptr)
        return std::string();
    return std::string(filterList.get(), filterListSize - 1);
}

std::string FileDialog::GetFileName() const
{
    if (fileBuffer == nullptr)
        return std::string();
    return std::string(fileBuffer.get(), strnlen(fileBuffer.get(), FileBufferSize));
}
