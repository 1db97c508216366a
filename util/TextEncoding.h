// TextEncoding: the encoding of a text file (code page 932, UTF-8 with or
// without a byte-order mark, UTF-16 little or big endian with a mark, EUC-JP
// when the user or the document's open chose it) and the
// conversions between the file's bytes and the code page 932 text the editor
// works on. Detection looks at bytes only; conversions go through UTF-16 a
// block at a time, so a large text never needs more than its two forms and
// one block beside them. A value of this class is small and copied freely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TextEncoding {
public:
    enum Kind { Cp932, Utf8, Utf8WithMark, Utf16Le, Utf16Be, EucJp };

    // How much of a file's start DetectStart looks at.
    static constexpr size_t StartSize = 64 * 1024;

    TextEncoding(Kind kind = Cp932) : kind(kind) {}

    // The whole file: a UTF-16LE or UTF-16BE mark, a UTF-8 mark, UTF-8
    // without a mark (every byte valid UTF-8 and at least one multi-byte
    // sequence), else code page 932.
    static TextEncoding Detect(std::string_view bytes);
    // The same decision on a file's start only (its first `window` bytes),
    // for readers that must not read a file twice: a sequence cut by the end
    // of that window counts as valid unless the window is the whole file.
    static TextEncoding DetectStart(std::string_view start, bool wholeFile, size_t window = StartSize);
    // UTF-16 without a mark, for a start that holds zero bytes: found is
    // UTF-16LE or UTF-16BE when the start reads as UTF-16 text in that byte
    // order (see the rule beside it); false when it reads as neither.
    static bool DetectUnmarkedUtf16(std::string_view start, TextEncoding& found);

    Kind GetKind() const { return kind; }
    bool IsCp932() const { return kind == Cp932; }
    // A short name for people ("UTF-8", "UTF-16LE", ...).
    const char* GetName() const;
    // The byte-order mark this encoding writes first; empty when none.
    std::string_view GetMark() const;

    // A file's bytes to code page 932 text, in place: a byte-order mark of
    // this encoding at the start is dropped. `lost` receives how many
    // characters cannot come back unchanged when the text is encoded again
    // (they read as '?'). False only when memory ran out; the bytes are then
    // as they were.
    bool DecodeFile(std::string& bytes, size_t* lost) const;
    // Code page 932 text to a file's bytes, in place, the mark first.
    bool EncodeFile(std::string& text) const;

    // The same without any byte-order mark, for pieces of a file (a line,
    // a search text).
    bool Decode(std::string& bytes, size_t* lost) const;
    bool Encode(std::string& text) const;

    // Characters of code page 932 text that no Unicode character stands for
    // (a lead byte without its trail, an unassigned pair): what UTF-8 and
    // UTF-16 cannot keep. The NEC and IBM codes of one character have one.
    static size_t CountUnmapped(std::string_view text);

    // One Unicode code point as UTF-8, appended to out.
    static void AppendUtf8(uint32_t code, std::string& out);
    // The valid UTF-8 sequence at p (of available bytes) as one code point;
    // its length, or 0 when the bytes there are not one.
    static size_t ReadUtf8(const unsigned char* p, size_t available, uint32_t* code);

private:
    Kind kind;
};
