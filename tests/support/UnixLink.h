// UnixLink: a Unix symbolic link made by a test that runs under Wine, the way
// a folder link appears to a program there (a folder with the reparse-point
// attribute). Wine does not make links itself, so the link is made and
// removed by /bin/ln and /bin/rm, started through Wine's own exports. Only
// the link goes when the object goes, never what it points to.
#pragma once

#include <string>

class UnixLink {
public:
    // Makes linkPath (a Windows path) a link to target, a Unix path text
    // (".." and "../x" are taken relative to the link's folder).
    UnixLink(const std::string& linkPath, const std::string& target);
    UnixLink(const UnixLink&) = delete;
    UnixLink& operator=(const UnixLink&) = delete;
    ~UnixLink();

    bool IsMade() const { return !unixPath.empty(); }

private:
    std::string unixPath;
};
