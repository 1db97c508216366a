// FolderListing: the directory listing's walk. It adds the full path of
// every file and sub-folder below a folder, one per line ended by "\r\n", in
// the walk's order: a folder's files, then each sub-folder's line followed by
// its own listing. An entry the walk cannot reach is listed all the same.
#pragma once

#include <string>

#include "app/folders/FolderWalk.h"
#include "app/folders/ResultSink.h"

class FolderListing : public FolderWalk {
public:
    // Adds the listing of folder to the sink.
    void List(const std::string& folder, ResultSink& results);
    // Appends the listing of folder to out, at once.
    void List(const std::string& folder, std::string& out);

protected:
    void OnFile(const std::string& path) override;
    void OnFolder(const std::string& path) override;
    void OnUnreachable(const std::string& path) override;

private:
    void AddLine(const std::string& path);
};
