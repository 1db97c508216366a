// The PCRE2 the build makes runs here, in the way the editor will use it:
// the 16-bit library in UTF mode on UTF-16 text, through the interpreter and,
// where the platform allows it, the JIT. Double-byte characters are whole
// characters: a backslash never matches inside 表 or ソ.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace {

// Every match's start, in UTF-16 units; a start of -1 when the pattern is
// refused.
std::vector<size_t> MatchStarts(const std::u16string& pattern, const std::u16string& text, bool jit, bool* jitUsed)
{
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.c_str()), pattern.size(),
                                     PCRE2_UTF | PCRE2_UCP, &error, &errorOffset, nullptr);
    if (code == nullptr)
        return {static_cast<size_t>(-1)};
    *jitUsed = jit && pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    std::vector<size_t> starts;
    for (PCRE2_SIZE at = 0; at <= text.size();) {
        if (pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.c_str()), text.size(), at, 0, data, nullptr) < 0)
            break;
        const PCRE2_SIZE* found = pcre2_get_ovector_pointer(data);
        starts.push_back(found[0]);
        at = found[1] > found[0] ? found[1] : found[1] + 1;
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return starts;
}

TEST(Pcre2, MatchesCharactersOfJapaneseTextWithAndWithoutJit)
{
    const struct {
        const char* name;
        std::u16string pattern;
        std::u16string text;
        std::vector<size_t> starts;
    } cases[] = {
        {"a backslash is never part of 表 or ソ", u"\\\\", u"表ソ\\能", {2}},
        {"a dot is one character", u"^.$", u"表", {0}},
        {"katakana range", u"[ァ-ヶ]+", u"漢字カタカナかな", {2}},
        {"Han script", u"\\p{Han}+", u"かな漢字", {2}},
        {"full-width letters fold by case", u"(?i)ａｂｃ", u"xＡＢＣ", {1}},
        {"an emoji is one character", u"^.$", u"😀", {0}},
    };
    for (bool jit : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (jit ? ", JIT" : ", interpreter"));
            bool jitUsed = false;
            EXPECT_EQ(c.starts, MatchStarts(c.pattern, c.text, jit, &jitUsed));
            if (jit) {
                EXPECT_TRUE(jitUsed) << "the JIT was refused here";
            }
        }
    }
}

} // namespace
