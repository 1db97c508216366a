#include "app/folders/ResultSink.h"

#include "framework/Win32.h"

namespace {
// Small chunks early keep the first lines quick; the time bound keeps a slow
// trickle of results moving.
constexpr size_t ChunkBytes = 256 * 1024;
constexpr uint64_t ChunkMs = 100;
} // namespace

bool ResultSink::AddLine(std::initializer_list<std::string_view> pieces)
{
    size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    if (limitReached || size > limit - total) {
        limitReached = true;
        return false;
    }
    for (std::string_view piece : pieces)
        chunk.append(piece.data(), piece.size());
    total += size;
    ++lines;
    return true;
}

void ResultSink::Flush(bool final)
{
    if (!handOver || chunk.empty())
        return;
    const uint64_t now = ::GetTickCount64();
    if (!final && chunk.size() < ChunkBytes && now - lastHandover < ChunkMs)
        return;
    lastHandover = now;
    std::string text;
    text.swap(chunk);
    handOver(std::move(text));
}

bool ResultSink::Stopped() const
{
    return limitReached || (stopFlag != nullptr && stopFlag->load());
}

void ResultSink::NoteFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> hold(folderLock);
    currentFolder = folder;
}

ResultSink::Progress ResultSink::ReadProgress() const
{
    Progress progress;
    progress.files = files;
    progress.lines = lines;
    std::lock_guard<std::mutex> hold(folderLock);
    progress.folder = currentFolder;
    return progress;
}
