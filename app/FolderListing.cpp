#include "app/FolderListing.h"

void FolderListing::List(const std::string& folder, std::string& text)
{
    out = &text;
    Walk(folder);
    out = nullptr;
}

void FolderListing::OnFile(const std::string& path)
{
    AppendLine(path);
}

void FolderListing::OnFolder(const std::string& path)
{
    AppendLine(path);
}

void FolderListing::AppendLine(const std::string& path)
{
    out->append(path);
    out->append("\r\n", 2);
}
