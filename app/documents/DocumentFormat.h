// DocumentFormat: the form of a document's file — its encoding and its line
// ends — and the two ways between the file's bytes and the bytes the pane
// holds. Code page 932 and UTF-8 files are held as they are on disk (a UTF-8
// mark aside, which is written again on save); UTF-16 is held as UTF-8 and
// turned back on save, which loses nothing but an unpaired surrogate. An
// unedited document is therefore written byte for byte as it was read. A new
// document is code page 932 with CR LF. EUC-JP is held as code page 932 and
// turned back on save; it is detected on open only, where its rule is told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/SaveFileSafely.h"
#include "util/TextEncoding.h"

class ScintillaControl;

class DocumentFormat {
public:
    enum class LineEnds { None, CrLf, Lf, Cr, Mixed };

    DocumentFormat() = default;
    explicit DocumentFormat(TextEncoding encoding) : encoding(encoding) {}

    // The encoding of a file from its first bytes (all of it when wholeFile).
    // EUC-JP is taken only where TextEncoding finds code page 932 and the
    // bytes read as EUC-JP Japanese and as code page 932 nonsense (see
    // EucJp::IsLikely): valid UTF-8 and ordinary Shift_JIS text never are.
    static DocumentFormat Detect(std::string_view start, bool wholeFile);

    TextEncoding GetEncoding() const { return encoding; }
    // The code page the pane holds this document in: 932, or 65001.
    unsigned PaneCodePage() const;
    // The pane made ready for this form's bytes: its code page, and the line
    // end Enter types (the file's own; CR LF when it has none or several).
    void PreparePane(ScintillaControl& pane) const;
    // Whether the pane is as PreparePane leaves it; when not (a file saved in
    // another form and not read back), its bytes must be converted to be
    // this form's.
    bool IsHeldBy(ScintillaControl& pane) const;
    LineEnds GetLineEnds() const { return lineEnds; }
    void SetLineEnds(LineEnds ends) { lineEnds = ends; }
    bool IsLfOnly() const { return lineEnds == LineEnds::Lf; }
    // A UTF-16 file the user chose to read as UTF-16 that has no byte-order
    // mark is written back without one.
    void LeaveOutMark() { markless = true; }
    bool LeavesOutMark() const { return markless; }

    // The caption's note on the form: "" for code page 932 with CR LF, else
    // " [UTF-8]", " [LF]", " [UTF-16LE] [LF]"...
    std::string CaptionTag() const;

    // The file's bytes for the pane's bytes: contents points into paneBytes
    // where no conversion is needed, else into converted. False when memory
    // ran out.
    bool ToFile(std::string_view paneBytes, std::string& converted, FileContents* contents,
                size_t* lost = nullptr) const;
    // The same for a pane that holds its bytes in paneCodePage, maybe another
    // than this form's (a Save As in another encoding), every line end made
    // this form's own unless it is None or Mixed. lost receives the
    // characters that this form cannot hold. False when memory ran out.
    bool ToFileFrom(std::string_view paneBytes, unsigned paneCodePage, std::string& converted,
                    FileContents* contents, size_t* lost) const;
    // The first step of that: the text as a pane of this form holds it.
    bool ToPaneFrom(std::string& text, unsigned paneCodePage, size_t* lost) const;

private:
    TextEncoding encoding;
    LineEnds lineEnds = LineEnds::None;
    bool markless = false;
};

// Turns a file's bytes, given block by block, into the bytes the pane holds,
// and notes the line ends on the way. Blocks may cut a character anywhere.
class PaneBytesDecoder {
public:
    explicit PaneBytesDecoder(const DocumentFormat& format);

    // The pane's bytes for the next block of a UTF-16 file (appended to
    // out); false when memory ran out. `last` on the file's last block.
    bool Decode(std::string_view block, bool last, std::string& out);
    // Whether the block needs no conversion: its bytes go to the pane as they
    // are, the mark excepted (SkipAtStart()).
    bool PassesThrough() const { return passThrough; }
    size_t SkipAtStart() const { return markSize; }
    // Characters that cannot come back unchanged (unpaired surrogates).
    size_t Lost() const { return lost; }
    // Line ends of the bytes seen so far (pane form).
    void NoteLineEnds(std::string_view paneBytes);
    DocumentFormat::LineEnds LineEnds() const;

private:
    TextEncoding encoding;
    bool passThrough;
    size_t markSize = 0;
    bool atStart = true;
    std::string carry; // an odd byte, a high surrogate or a cut EUC-JP character, waiting for the next block
    size_t lost = 0;
    uint64_t crLf = 0;
    uint64_t lf = 0;
    uint64_t cr = 0; // every CR, those before an LF too
    bool lastWasCr = false;
};
