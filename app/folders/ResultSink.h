// ResultSink: where the directory listing and grep put their result lines.
// It keeps the text below a limit (a run that reaches it stops and keeps what
// it has), counts files and lines for the progress window, and, when a run is
// on a worker thread, hands the text over in chunks as it grows. Without a
// hand-over the whole text stays here for the caller to take. Owned by the
// caller of the walk; the counters may be read from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>

class ResultSink {
public:
    using Handover = std::function<void(std::string chunk)>;

    // What the progress window shows.
    struct Progress {
        uint64_t files = 0;
        uint64_t lines = 0;
        std::string folder;
    };

    static constexpr size_t DefaultLimit = 256u * 1024u * 1024u;

    ResultSink() = default;
    ResultSink(const ResultSink&) = delete;
    ResultSink& operator=(const ResultSink&) = delete;

    // Set up before the walk.
    void SetLimit(size_t bytes) { limit = bytes; }
    void SetStopFlag(const std::atomic<bool>* flag) { stopFlag = flag; }
    void SetHandover(Handover handover) { handOver = std::move(handover); }

    // One whole line made of these pieces (its "\r\n" included); false, with
    // nothing added, when it would take the text past the limit.
    bool AddLine(std::initializer_list<std::string_view> pieces);
    // Hands the text over when enough has gathered or enough time has passed
    // (always when final); without a hand-over it does nothing.
    void Flush(bool final = false);
    // True once the limit is reached or a stop is asked for.
    bool Stopped() const;
    bool LimitReached() const { return limitReached; }

    void NoteFile() { ++files; }
    void NoteFolder(const std::string& folder);
    Progress ReadProgress() const;
    uint64_t Lines() const { return lines; }

    // The text gathered and not handed over.
    std::string TakeText() { return std::move(chunk); }

private:
    size_t limit = DefaultLimit;
    const std::atomic<bool>* stopFlag = nullptr;
    Handover handOver;

    std::string chunk;
    size_t total = 0;
    bool limitReached = false;
    uint64_t lastHandover = 0;

    std::atomic<uint64_t> files{0};
    std::atomic<uint64_t> lines{0};
    mutable std::mutex folderLock;
    std::string currentFolder;
};
