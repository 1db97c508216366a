// FolderListing: the directory listing's walk. It appends the full path of
// every file and sub-folder below a folder, one per line ended by "\r\n", in
// the walk's order: a folder's files, then each sub-folder's line followed by
// its own listing. The caller owns the text it appends to.
#pragma once

#include <string>

#include "app/FolderWalk.h"

class FolderListing : public FolderWalk {
public:
    // Appends the listing of folder to out.
    void List(const std::string& folder, std::string& out);

protected:
    void OnFile(const std::string& path) override;
    void OnFolder(const std::string& path) override;

private:
    void AppendLine(const std::string& path);

    std::string* out = nullptr;
};
