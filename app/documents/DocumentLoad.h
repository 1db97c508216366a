// DocumentLoad: opens a file as the document of a pane. A worker thread reads
// the file a block at a time and fills a new Scintilla document through its
// loader, converting UTF-16 on the way; the main thread meanwhile keeps the
// window answering (it is disabled for input, so nothing is typed into the
// document about to be replaced, and commands posted to it wait for the
// load's end) and, once the load takes longer than half a
// second, shows the progress window of grep with the file's name, the
// megabytes read and 中止. The pane gets the new document only when the whole
// file is in it: a failure or 中止 leaves its document as it was. What the
// pane holds is checked against what was read. A file that changes while it
// is read (its size or last-write time differ at the end from before) is
// read again, a few times at most. A local of one open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/documents/DocumentFormat.h"
#include "app/documents/FileStamp.h"
#include "app/folders/WorkerWait.h"

class ScintillaControl;
class Window;

class DocumentLoad {
public:
    enum class Result { Loaded, NotRead, TooLarge, Stopped };

    DocumentLoad() = default;
    DocumentLoad(const DocumentLoad&) = delete;
    DocumentLoad& operator=(const DocumentLoad&) = delete;

    Result Run(Window& owner, ScintillaControl& pane, const std::string& path);

    // After Loaded: the file's form, the characters that cannot come back
    // unchanged, and whether the pane holds other bytes than were read.
    const DocumentFormat& Format() const { return format; }
    size_t Lost() const { return lost; }
    bool ChangedByPane() const { return changedByPane; }
    // The file as it was before the reading that the pane holds, and whether
    // it was still so after it; when not, the file kept changing and the pane
    // holds what the last reading found.
    const FileStamp& Stamp() const { return stamp; }
    bool InSync() const { return inSync; }

    // How a file of fileSize bytes in this encoding can be held where
    // positions reach largestPosition: in an ordinary document (2 GB at
    // most), in a large one, or not at all (4 GiB and more never).
    enum class Room { Ordinary, Large, Refused };
    static Room RoomFor(uint64_t fileSize, TextEncoding encoding, uint64_t largestPosition = PTRDIFF_MAX);

    // How long a load goes before the progress window shows, and how much
    // is read at a time; tests show the window at once and read slowly, and
    // change the file after the first block of a reading (counted from 1).
    struct Pace {
        unsigned progressDelay = 500;
        size_t blockSize = 4u << 20;
        std::function<void(unsigned reading)> afterFirstBlock = nullptr;
    };
    void SetPace(Pace newPace) { pace = newPace; }
    // Reads the file in this encoding rather than the one its bytes suggest
    // (a UTF-8 mark is still taken as one).
    void SetEncoding(TextEncoding chosen) { encoding = chosen; }

private:
    struct Job;

    Result Finish(ScintillaControl& pane, Job& job);

    Pace pace;
    std::optional<TextEncoding> encoding;
    DocumentFormat format;
    size_t lost = 0;
    bool changedByPane = false;
    FileStamp stamp;
    bool inSync = true;
};
