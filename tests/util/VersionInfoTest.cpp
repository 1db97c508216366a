#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "framework/Win32.h"
#include "util/VersionInfo.h"

namespace {

// The test modules of tests/versionmodules lie beside this program.
std::string BesideProgram(const std::string& name)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder = path;
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + name;
}

TEST(GetFileVersion, PacksTheJapaneseFileVersionText)
{
    const struct {
        const char* module;
        uint32_t expected;
    } cases[] = {
        {"ver_commas.dll", 0x01000001},
        {"ver_points.dll", 0},
        {"ver_english.dll", 0},
        {"ver_five.dll", 0x01020304},
        {"ver_plain.dll", 0x0102032C},
        // 300 is 0x12C: its bit 8 lands on the third part's byte, unmasked.
        {"ver_spill.dll", 0x0102032C},
        {"ver_spill2.dll", 0x0102032C},
    };
    for (const auto& c : cases) {
        const std::string path = BesideProgram(c.module);
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_EQ(c.expected, GetFileVersion(path)) << c.module;
    }
}

TEST(GetFileVersion, NoVersionGivesZero)
{
    TempFolder temp;
    ASSERT_TRUE(WriteTextFile(temp / "plain.txt", "no resources here"));
    EXPECT_EQ(0u, GetFileVersion(temp / "plain.txt"));
    EXPECT_EQ(0u, GetFileVersion(temp / "missing.dll"));
    EXPECT_EQ(0u, GetFileVersion(""));
}

TEST(WriteIniInt, WritesSignedDecimalText)
{
    TempFolder temp;
    const std::string ini = temp / "test.ini";
    const struct {
        const char* key;
        int value;
        const char* text;
    } cases[] = {
        {"negative", -5, "-5"},
        {"zero", 0, "0"},
        {"largest", 2147483647, "2147483647"},
        {"smallest", -2147483647 - 1, "-2147483648"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(WriteIniInt("numbers", c.key, c.value, ini)) << c.key;
        char text[32] = {};
        ::GetPrivateProfileStringA("numbers", c.key, "", text, sizeof(text), ini.c_str());
        EXPECT_STREQ(c.text, text) << c.key;
    }
    EXPECT_EQ(-5, static_cast<int>(::GetPrivateProfileIntA("numbers", "negative", 0, ini.c_str())));
    // Writing again replaces the value.
    EXPECT_TRUE(WriteIniInt("numbers", "negative", 12, ini));
    EXPECT_EQ(12u, ::GetPrivateProfileIntA("numbers", "negative", 0, ini.c_str()));
}

}  // namespace
