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
    std::string path;
    uint64_t size = 0;
    size_t blockSize = 0;
    std::optional<TextEncoding> chosen;
    std::atomic<uint64_t> read{0};

    // Set by the worker before it signals done.
    Result result = Result::Loaded;
    DocumentFormat format;
    size_t lost = 0;
    // The loaded document, with a reference for the pane, and whether it
    // holds other bytes than were read.
    void* document = nullptr;
    bool changedByPane = false;

    void Work() override;
    std::string CountsText() const override;
    Result Fill(HANDLE file, ScintillaControl::Loading& loading);
};

// Nothing may escape the worker: memory running out is a result.
void DocumentLoad::Job::Work()
{
    try {
        const KernelHandle file =
            OwnHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        ScintillaControl::Loading loading; // made, filled and checked on this thread
        result = file == nullptr ? Result::NotRead : Fill(file.get(), loading);
        if (result == Result::Loaded)
            document = loading.Take();
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

DocumentLoad::Result DocumentLoad::Job::Fill(HANDLE file, ScintillaControl::Loading& loading)
{
    std::unique_ptr<char[]> block(new (std::nothrow) char[blockSize]);
    if (block == nullptr || !loading.Start(static_cast<size_t>(size)))
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

DocumentLoad::Result DocumentLoad::Run(Window& owner, ScintillaControl& pane, const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes) ||
        (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return Result::NotRead;
    auto job = std::make_shared<Job>();
    job->path = path;
    job->blockSize = pace.blockSize;
    job->chosen = encoding;
    job->size = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    // 4 GiB and more is refused on both builds, as it always was; the 32-bit
    // one has no room for half its address space in one piece anyway.
    if (job->size >= 0xFFFFFFFFull || job->size >= SIZE_MAX / 2)
        return Result::TooLarge;
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
    return Result::Loaded;
}
