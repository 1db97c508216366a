#include "app/search/RegexPattern.h"

#include <algorithm>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "app/search/Utf16Text.h"

namespace {

// Bounds on one match attempt: enough for any sensible pattern on any
// sensible line, small enough that a runaway one ends in a moment.
constexpr uint32_t MatchLimit = 10'000'000;
constexpr uint32_t HeapLimitKiB = 64 * 1024;
constexpr size_t JitStackSize = 1024 * 1024;

PCRE2_SPTR Units(std::u16string_view text)
{
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

std::string EngineReason(int error)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(error, buffer, sizeof(buffer) / sizeof(buffer[0]));
    if (length < 0)
        return "error " + std::to_string(error);
    return Utf16Text::Encode(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length)),
                             932);
}

bool IsAsciiWordUnit(char16_t unit)
{
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') ||
           unit == u'_';
}

size_t NextCharacter(std::u16string_view subject, size_t at)
{
    const bool pair = at + 1 < subject.size() && subject[at] >= 0xD800 && subject[at] <= 0xDBFF;
    return at + (pair ? 2 : 1);
}

// Past the character at `at`, or past CR LF as a whole.
size_t StepOver(std::u16string_view subject, size_t at)
{
    if (subject[at] == u'\r' && at + 1 < subject.size() && subject[at + 1] == u'\n')
        return at + 2;
    return NextCharacter(subject, at);
}

} // namespace

void RegexPattern::CodeFree::operator()(pcre2_real_code_16* p) const
{
    pcre2_code_free(p);
}
void RegexPattern::DataFree::operator()(pcre2_real_match_data_16* p) const
{
    pcre2_match_data_free(p);
}
void RegexPattern::ContextFree::operator()(pcre2_real_match_context_16* p) const
{
    pcre2_match_context_free(p);
}
void RegexPattern::StackFree::operator()(pcre2_real_jit_stack_16* p) const
{
    pcre2_jit_stack_free(p);
}

RegexPattern::RegexPattern() = default;
RegexPattern::~RegexPattern() = default;

bool RegexPattern::Compile(std::u16string_view pattern, const SearchOptions& options, std::string* message)
{
    wholeWord = options.wholeWord;
    std::unique_ptr<pcre2_compile_context, void (*)(pcre2_compile_context*)> compileContext(
        pcre2_compile_context_create(nullptr), pcre2_compile_context_free);
    if (compileContext == nullptr) {
        *message = "メモリが足りません";
        return false;
    }
    pcre2_set_newline(compileContext.get(), PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_bsr(compileContext.get(), PCRE2_BSR_ANYCRLF);
    uint32_t flags = PCRE2_UTF | PCRE2_UCP | PCRE2_MULTILINE | PCRE2_MATCH_INVALID_UTF;
    if (!options.matchCase)
        flags |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    code.reset(pcre2_compile(Units(pattern), pattern.size(), flags, &error, &errorOffset, compileContext.get()));
    if (code == nullptr) {
        const size_t before = Utf16Text::CountCharacters(pattern.substr(0, std::min<size_t>(errorOffset, pattern.size())));
        *message = "正規表現が正しくありません\n理由: " + EngineReason(error) + "\n位置: 先頭から " +
                   std::to_string(before + 1) + " 文字目";
        return false;
    }
    // Both modes, since every stretch but a text's last is matched partially;
    // the interpreter serves where the JIT cannot.
    pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE | PCRE2_JIT_PARTIAL_HARD);
    uint32_t captures = 0;
    uint32_t behind = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
    pcre2_pattern_info(code.get(), PCRE2_INFO_MAXLOOKBEHIND, &behind);
    groupCount = captures;
    // One character more than any look-behind reaches, so that a stretch's
    // first character, never reached, cannot pass for the text's start.
    lookBehind = behind + 1;
    data.reset(pcre2_match_data_create_from_pattern(code.get(), nullptr));
    context.reset(pcre2_match_context_create(nullptr));
    stack.reset(pcre2_jit_stack_create(32 * 1024, JitStackSize, nullptr));
    if (data == nullptr || context == nullptr) {
        code.reset();
        *message = "メモリが足りません";
        return false;
    }
    pcre2_set_match_limit(context.get(), MatchLimit);
    pcre2_set_heap_limit(context.get(), HeapLimitKiB);
    if (stack != nullptr)
        pcre2_jit_stack_assign(context.get(), nullptr, stack.get());
    return true;
}

RegexPattern::Outcome RegexPattern::Run(std::u16string_view subject, size_t from, Bounds bounds, unsigned extra,
                                        Span* found)
{
    uint32_t flags = extra;
    if (!bounds.startsLine)
        flags |= PCRE2_NOTBOL;
    if (!bounds.endsLine)
        flags |= PCRE2_NOTEOL;
    if (!bounds.endsText)
        flags |= PCRE2_PARTIAL_HARD;
    const int rc = pcre2_match(code.get(), Units(subject), subject.size(), from, flags, data.get(), context.get());
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data.get());
    if (rc >= 0 || rc == PCRE2_ERROR_PARTIAL) {
        found->start = vector[0];
        found->end = vector[1];
        return rc >= 0 ? Outcome::Found : Outcome::Partial;
    }
    return rc == PCRE2_ERROR_NOMATCH ? Outcome::NotFound : Outcome::Limit;
}

RegexPattern::Outcome RegexPattern::Find(std::u16string_view subject, size_t from, Bounds bounds, Span* found,
                                         bool emptyAtFrom)
{
    if (!emptyAtFrom) {
        const Outcome outcome = Run(subject, from, bounds, PCRE2_ANCHORED | PCRE2_NOTEMPTY_ATSTART, found);
        if (outcome != Outcome::Found && outcome != Outcome::NotFound)
            return outcome;
        if (outcome == Outcome::Found && !(wholeWord && TouchesWord(subject, *found)))
            return outcome;
        if (from >= subject.size())
            return Outcome::NotFound;
        from = StepOver(subject, from);
    }
    for (;;) {
        const Outcome outcome = Run(subject, from, bounds, 0, found);
        if (outcome != Outcome::Found || !wholeWord || !TouchesWord(subject, *found))
            return outcome;
        if (found->start >= subject.size())
            return Outcome::NotFound;
        from = found->end > found->start ? NextCharacter(subject, found->start) : StepOver(subject, found->start);
    }
}

RegexPattern::Outcome RegexPattern::MatchAt(std::u16string_view subject, size_t at, Bounds bounds, Span* found,
                                            bool emptyAtFrom)
{
    const Outcome outcome = Run(subject, at, bounds, PCRE2_ANCHORED | (emptyAtFrom ? 0 : PCRE2_NOTEMPTY_ATSTART), found);
    if (outcome == Outcome::Found && wholeWord && TouchesWord(subject, *found))
        return Outcome::NotFound;
    return outcome;
}

bool RegexPattern::TouchesWord(std::u16string_view subject, const Span& span) const
{
    return (span.start > 0 && IsAsciiWordUnit(subject[span.start - 1])) ||
           (span.end < subject.size() && IsAsciiWordUnit(subject[span.end]));
}

bool RegexPattern::Group(size_t number, Span* span) const
{
    if (number >= pcre2_get_ovector_count(data.get()))
        return false;
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data.get());
    if (vector[2 * number] == PCRE2_UNSET)
        return false;
    span->start = vector[2 * number];
    span->end = std::max(vector[2 * number], vector[2 * number + 1]);
    return true;
}

int RegexPattern::GroupNumber(std::u16string_view name) const
{
    const std::u16string terminated(name);
    const int number = pcre2_substring_number_from_name(code.get(), Units(terminated));
    return number > 0 ? number : -1;
}

// Asked of PCRE2 itself: the JIT's own entry refuses a mode it has no code
// for.
bool RegexPattern::RunsCompiled(bool partial) const
{
    const char16_t empty[1] = {};
    const int rc = pcre2_jit_match(code.get(), reinterpret_cast<PCRE2_SPTR>(empty), 0, 0,
                                   partial ? PCRE2_PARTIAL_HARD : 0, data.get(), context.get());
    return rc != PCRE2_ERROR_JIT_BADOPTION;
}
