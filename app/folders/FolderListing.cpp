#include "app/folders/FolderListing.h"

void FolderListing::List(const std::string& folder, ResultSink& results)
{
    sink = &results;
    Walk(folder);
    results.Flush(true);
    sink = nullptr;
}

void FolderListing::List(const std::string& folder, std::string& out)
{
    ResultSink results;
    List(folder, results);
    out += results.TakeText();
}

void FolderListing::OnFile(const std::string& path)
{
    AddLine(path);
    sink->NoteFile();
}

void FolderListing::OnFolder(const std::string& path)
{
    AddLine(path);
}

void FolderListing::OnUnreachable(const std::string& path)
{
    AddLine(path);
}

void FolderListing::AddLine(const std::string& path)
{
    sink->AddLine({path, "\r\n"});
    sink->Flush();
}
