#include "app/documents/RecentFiles.h"

#include <algorithm>

#include "app/settings/UserSettings.h"
#include "res/resource.h"
#include "util/TextSearch.h"

namespace {

const char* const Section = "RecentFiles";
const char* const Ellipsis = "...";

std::string KeyFor(int index)
{
    return "File" + std::to_string(index + 1);
}

bool SamePath(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Offsets of the path separators that are characters of their own (a 0x5C
// trail byte of a double-byte character is none).
std::vector<size_t> Separators(const std::string& path)
{
    const TextSearch::LeadBytes& lead = TextSearch::ProcessLeadBytes();
    std::vector<size_t> found;
    for (size_t i = 0; i < path.size();) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c == '\\' || c == '/')
            found.push_back(i);
        i += lead[c] ? 2 : 1;
    }
    return found;
}

bool IsRecentCommand(UINT id)
{
    return id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST;
}

int PositionOf(HMENU menu, UINT command)
{
    const int count = ::GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        if (::GetMenuItemID(menu, pos) == command)
            return pos;
    }
    return -1;
}

} // namespace

void RecentFiles::Load()
{
    paths.clear();
    const UserSettings& settings = UserSettings::Get();
    for (int i = 0; i < Limit; ++i) {
        const std::string path = settings.GetString(Section, KeyFor(i).c_str(), "");
        const bool known = std::any_of(paths.begin(), paths.end(),
                                       [&](const std::string& p) { return SamePath(p, path); });
        if (!path.empty() && !known)
            paths.push_back(path);
    }
}

void RecentFiles::Save() const
{
    UserSettings& settings = UserSettings::Get();
    for (int i = 0; i < Limit; ++i)
        settings.SetString(Section, KeyFor(i).c_str(), i < static_cast<int>(paths.size()) ? paths[i] : "");
}

void RecentFiles::Add(const std::string& path)
{
    // Another instance may have changed the list since this one read it.
    Load();
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [&](const std::string& p) { return SamePath(p, path); }),
                paths.end());
    paths.insert(paths.begin(), path);
    if (paths.size() > static_cast<size_t>(Limit))
        paths.resize(Limit);
    Save();
}

void RecentFiles::Remove(const std::string& path)
{
    Load();
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [&](const std::string& p) { return SamePath(p, path); }),
                paths.end());
    Save();
}

std::string RecentFiles::PathFor(WORD commandId) const
{
    if (!IsRecentCommand(commandId))
        return std::string();
    const size_t index = commandId - IDM_RECENT_FIRST;
    return index < paths.size() ? paths[index] : std::string();
}

// Whatever an earlier call put above the exit item goes first: the list's
// items and the separators around them.
void RecentFiles::ShowIn(HMENU menu, UINT exitCommand) const
{
    if (menu == nullptr)
        return;
    for (int pos = PositionOf(menu, exitCommand) - 1; pos >= 0; --pos) {
        const bool separator = (::GetMenuState(menu, pos, MF_BYPOSITION) & MF_SEPARATOR) != 0;
        if (!separator && !IsRecentCommand(::GetMenuItemID(menu, pos)))
            break;
        ::DeleteMenu(menu, pos, MF_BYPOSITION);
    }
    if (paths.empty())
        return;
    const UINT at = static_cast<UINT>(PositionOf(menu, exitCommand));
    ::InsertMenuA(menu, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string label = MenuLabel(i, paths[i]);
        ::InsertMenuA(menu, at + 1 + static_cast<UINT>(i), MF_BYPOSITION | MF_STRING,
                      IDM_RECENT_FIRST + i, label.c_str());
    }
    ::InsertMenuA(menu, at + 1 + static_cast<UINT>(paths.size()), MF_BYPOSITION | MF_SEPARATOR, 0,
                  nullptr);
}

std::string RecentFiles::MenuLabel(size_t index, const std::string& path, size_t maxBytes)
{
    std::string label = "&" + std::to_string((index + 1) % 10) + " ";
    for (char c : ShortenPath(path, maxBytes)) {
        label += c;
        if (c == '&')
            label += '&';
    }
    return label;
}

// Keeps the root with as many leading folders, and the file name with as
// many trailing folders, as fit with "..." between them; the folder holding
// the file counts most. A path that cannot be shortened stays whole.
std::string RecentFiles::ShortenPath(const std::string& path, size_t maxBytes)
{
    const std::vector<size_t> seps = Separators(path);
    if (path.size() <= maxBytes || seps.size() < 2)
        return path;
    const auto length = [&](size_t head, size_t tail) {
        return seps[head] + 1 + std::char_traits<char>::length(Ellipsis) + path.size() - seps[tail];
    };
    size_t head = 0;
    size_t tail = seps.size() - 1;
    for (bool grew = true; grew;) {
        grew = false;
        if (tail - 1 > head && length(head, tail - 1) <= maxBytes) {
            --tail;
            grew = true;
        }
        if (head + 1 < tail && length(head + 1, tail) <= maxBytes) {
            ++head;
            grew = true;
        }
    }
    if (length(head, tail) >= path.size())
        return path;
    return path.substr(0, seps[head] + 1) + Ellipsis + path.substr(seps[tail]);
}
