#include "app/documents/DocumentLoad.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "framework/ScintillaControl.h"
#include "framework/Window.h"
#include "util/KernelHandle.h"

namespace {

// A fast 64-bit digest of a byte stream, the same however the stream is cut:
// eight bytes at a time, the rest kept for the next piece.
class StreamDigest {
public:
    void Add(std::string_view bytes)
    {
        size_t at = 0;
        while (carried > 0 && carried < 8 && at < bytes.size())
            carry[carried++] = bytes[at++];
        if (carried == 8) {
            Mix(carry);
            carried = 0;
        }
        for (; at + 8 <= bytes.size(); at += 8)
            Mix(bytes.data() + at);
        while (at < bytes.size())
            carry[carried++] = bytes[at++];
        length += bytes.size();
    }
    uint64_t Value() const
    {
        uint64_t last = value;
        for (size_t i = 0; i < carried; ++i)
            last = (last ^ static_cast<unsigned char>(carry[i])) * Prime;
        return last ^ length;
    }

private:
    static constexpr uint64_t Prime = 0x100000001B3ull;
    void Mix(const char* eight)
    {
        uint64_t word = 0;
        std::memcpy(&word, eight, 8);
        value = ((value ^ word) * Prime) ^ (value >> 29);
    }
    uint64_t value = 0xCBF29CE484222325ull;
    uint64_t length = 0;
    char carry[8] = {};
    size_t carried = 0;
};

// The form the user chose for a file: UTF-8 with a mark keeps it, and UTF-16
// without one is written back without one.
DocumentFormat Chosen(TextEncoding chosen, std::string_view start)
{
    const TextEncoding marked(TextEncoding::Utf8WithMark);
    if (chosen.GetKind() == TextEncoding::Utf8 && start.substr(0, marked.GetMark().size()) == marked.GetMark())
        return DocumentFormat(marked);
    DocumentFormat format(chosen);
    if (!chosen.GetMark().empty() && start.substr(0, chosen.GetMark().size()) != chosen.GetMark())
        format.LeaveOutMark();
    return format;
}

} // namespace

struct DocumentLoad::Job : WorkerWait::Job {
    // A file still changing after this many readings is shown as last read.
    static constexpr unsigned Readings = 3;

    std::string path;
    Pace pace;
    std::optional<TextEncoding> chosen;
    // The size of the reading under way, and how much of it was read.
    std::atomic<uint64_t> size{0};
    std::atomic<uint64_t> read{0};

    // Set by the worker before it signals done.
    Result result = Result::Loaded;
    DocumentFormat format;
    size_t lost = 0;
    FileStamp stamp;
    bool inSync = true;
    // The loaded document, with a reference for the pane, and whether it
    // holds other bytes than were read.
    void* document = nullptr;
    bool changedByPane = false;

    void Work() override;
    std::string CountsText() const override;
    Result Fill(HANDLE file, ScintillaControl::Loading& loading, unsigned reading);
};

// The stamp is taken before the file is opened, so that any change while it
// is read shows at the end. Nothing may escape the worker: memory running
// out is a result.
void DocumentLoad::Job::Work()
{
    try {
        for (unsigned reading = 1;; ++reading) {
            stamp = FileStamp::Of(path);
            size = stamp.Size();
            read = 0;
            const KernelHandle file = OwnHandle(
                ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            ScintillaControl::Loading loading; // made, filled and checked on this thread
            result = file == nullptr || !stamp.Exists() ? Result::NotRead : Fill(file.get(), loading, reading);
            if (result != Result::Loaded)
                return;
            inSync = FileStamp::Of(path) == stamp;
            if (inSync || reading == Readings) {
                document = loading.Take();
                return;
            }
        }
    } catch (const std::bad_alloc&) {
        result = Result::TooLarge;
    } catch (const std::length_error&) {
        result = Result::TooLarge;
    }
}

std::string DocumentLoad::Job::CountsText() const
{
    return FormatMegabytes(read, size) + " 読み込みました";
}

// A file that grew while it was read may be read past its first size, a
// block at most; the document refuses more than it can hold.
DocumentLoad::Result DocumentLoad::Job::Fill(HANDLE file, ScintillaControl::Loading& loading, unsigned reading)
{
    const size_t blockSize = pace.blockSize;
    std::unique_ptr<char[]> block(new (std::nothrow) char[blockSize]);
    if (block == nullptr)
        return Result::TooLarge;
    std::unique_ptr<PaneBytesDecoder> decoder;
    std::string converted;
    StreamDigest held;
    for (;;) {
        if (stop)
            return Result::Stopped;
        DWORD got = 0;
        if (!::ReadFile(file, block.get(), static_cast<DWORD>(blockSize), &got, nullptr))
            return Result::NotRead;
        const bool last = got < blockSize || read + got >= size;
        const std::string_view bytes(block.get(), got);
        if (decoder == nullptr) {
            format = chosen ? Chosen(*chosen, bytes) : DocumentFormat::Detect(bytes, last);
            decoder = std::make_unique<PaneBytesDecoder>(format);
            const Room room = RoomFor(size, format.GetEncoding());
            if (room == Room::Refused || !loading.Start(static_cast<size_t>(size), room == Room::Large))
                return Result::TooLarge;
            if (pace.afterFirstBlock)
                pace.afterFirstBlock(reading);
        }
        std::string_view paneBytes = bytes;
        if (decoder->PassesThrough()) {
            if (read == 0 && bytes.substr(0, decoder->SkipAtStart()) == format.GetEncoding().GetMark())
                paneBytes.remove_prefix(decoder->SkipAtStart());
        } else {
            converted.clear();
            if (!decoder->Decode(bytes, last, converted))
                return Result::TooLarge;
            paneBytes = converted;
        }
        decoder->NoteLineEnds(paneBytes);
        held.Add(paneBytes);
        if (!loading.Add(paneBytes))
            return Result::TooLarge;
        read += got;
        if (got == 0 || last)
            break;
    }
    format.SetLineEnds(decoder != nullptr ? decoder->LineEnds() : DocumentFormat::LineEnds::None);
    lost = decoder != nullptr ? decoder->Lost() : 0;
    if (!loading.Finish())
        return Result::TooLarge;
    StreamDigest shown;
    shown.Add(loading.Bytes());
    changedByPane = shown.Value() != held.Value();
    return Result::Loaded;
}

// The pane holds UTF-16 as UTF-8: a unit of two bytes becomes three at most.
// 4 GiB and more is refused on both builds, as it always was; the 32-bit
// one's positions end at 2 GB, and without the large option so do the line
// starts of the 64-bit one.
DocumentLoad::Room DocumentLoad::RoomFor(uint64_t fileSize, TextEncoding encoding, uint64_t largestPosition)
{
    const bool utf16 = encoding.GetKind() == TextEncoding::Utf16Le || encoding.GetKind() == TextEncoding::Utf16Be;
    const uint64_t paneBytes = utf16 ? fileSize / 2 * 3 + fileSize % 2 : fileSize;
    if (fileSize >= 0xFFFFFFFFull || paneBytes > largestPosition)
        return Room::Refused;
    return paneBytes > ScintillaControl::Loading::MostBytes(false) ? Room::Large : Room::Ordinary;
}

// What no encoding can hold is refused before any reading.
DocumentLoad::Result DocumentLoad::Run(Window& owner, ScintillaControl& pane, const std::string& path)
{
    const FileStamp before = FileStamp::Of(path);
    if (!before.Exists())
        return Result::NotRead;
    if (RoomFor(before.Size(), TextEncoding::Cp932) == Room::Refused)
        return Result::TooLarge;
    auto job = std::make_shared<Job>();
    job->path = path;
    job->pace = pace;
    job->chosen = encoding;
    job->size = before.Size();
    WorkerWait wait;
    wait.SetProgressDelay(pace.progressDelay);
    // The loader's document belongs to the worker until it is done with it.
    switch (wait.Run(owner, job, "ファイルを開いています", path, false)) {
    case WorkerWait::End::NotStarted:
        return Result::NotRead;
    case WorkerWait::End::Quit:
        return Result::Stopped;
    default:
        return Finish(pane, *job);
    }
}

// The loaded document replaces the pane's only now; the reference it came
// with is the pane's. A pane that went meanwhile (its window closed from
// outside) takes nothing, and the document stays unreleased until the
// program ends, which follows.
DocumentLoad::Result DocumentLoad::Finish(ScintillaControl& pane, Job& job)
{
    if (job.result != Result::Loaded)
        return job.result;
    if (job.document == nullptr || !::IsWindow(pane.GetHandle()))
        return Result::Stopped;
    pane.AdoptDocument(job.document);
    pane.KeepHistory(true); // a loaded document is made without one
    job.format.PreparePane(pane);
    format = job.format;
    lost = job.lost;
    changedByPane = job.changedByPane;
    stamp = job.stamp;
    inSync = job.inSync;
    return Result::Loaded;
}
