// RegexPattern: a regular expression as the user typed it, compiled by
// PCRE2's 16-bit library in UTF mode with Unicode properties, so it matches
// characters of decoded text, never bytes: `\` never meets the trail byte of
// a double-byte character, `.` is one character, and case folding covers
// full-width letters too. `^` and `$` are the ends of a line (CR LF, LF or
// CR). The JIT is used where the platform allows it. Each match runs under a
// match limit, a depth limit and a bounded stack, so a hostile pattern ends
// in Outcome::Limit instead of a hang or a crash. One object is used by one
// thread at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "util/TextSearch.h"

struct pcre2_real_code_16;
struct pcre2_real_match_data_16;
struct pcre2_real_match_context_16;
struct pcre2_real_jit_stack_16;

class RegexPattern {
public:
    enum class Outcome { Found, NotFound, Partial, Limit };

    // What the text around a subject is like: whether its start is a line
    // start, whether its end is the text's end (else a match may need what
    // follows: Outcome::Partial), and whether its end is a line end.
    struct Bounds {
        bool startsLine = true;
        bool endsText = true;
        bool endsLine = true;
    };

    // A match in UTF-16 units of the subject; for Partial, start is where
    // the unfinished match began.
    struct Span {
        size_t start = 0;
        size_t end = 0;
    };

    RegexPattern();
    ~RegexPattern();
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;

    // False when the pattern does not compile; message then says why and
    // where, for the user.
    bool Compile(std::u16string_view pattern, const SearchOptions& options, std::string* message);

    // The first match starting at or after `from`. With the whole-word
    // option a match touching an ASCII letter, digit or underscore on
    // either side is passed over. Without emptyAtFrom an empty match at
    // `from` is passed over too, and the search goes on after the character
    // there or the whole CR LF (PCRE2's own rule after an empty match), so
    // a walk through the matches never stands still nor stops inside a
    // line end.
    Outcome Find(std::u16string_view subject, size_t from, Bounds bounds, Span* found, bool emptyAtFrom = true);
    // A match that starts exactly at `at`.
    Outcome MatchAt(std::u16string_view subject, size_t at, Bounds bounds, Span* found, bool emptyAtFrom = true);

    // Group `number` of the last match found (0: the whole match); false
    // when the group took no part in it.
    bool Group(size_t number, Span* span) const;
    size_t GroupCount() const { return groupCount; }
    // The number of the group of that name, or -1.
    int GroupNumber(std::u16string_view name) const;
    // How many characters before a match's start the pattern may look at
    // (look-behind, \b), and one more, so that \A sees it is not the start.
    size_t LookBehind() const { return lookBehind; }
    // Whether a match runs as machine code, for a subject that ends the
    // text (complete) or one that may go on (partial).
    bool RunsCompiled(bool partial) const;

private:
    Outcome Run(std::u16string_view subject, size_t from, Bounds bounds, unsigned extra, Span* found);
    bool TouchesWord(std::u16string_view subject, const Span& span) const;

    struct CodeFree {
        void operator()(pcre2_real_code_16* code) const;
    };
    struct DataFree {
        void operator()(pcre2_real_match_data_16* data) const;
    };
    struct ContextFree {
        void operator()(pcre2_real_match_context_16* context) const;
    };
    struct StackFree {
        void operator()(pcre2_real_jit_stack_16* stack) const;
    };

    std::unique_ptr<pcre2_real_code_16, CodeFree> code;
    std::unique_ptr<pcre2_real_match_data_16, DataFree> data;
    std::unique_ptr<pcre2_real_match_context_16, ContextFree> context;
    std::unique_ptr<pcre2_real_jit_stack_16, StackFree> stack;
    bool wholeWord = false;
    size_t groupCount = 0;
    size_t lookBehind = 1;
};
