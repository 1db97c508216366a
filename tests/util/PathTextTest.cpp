#include <gtest/gtest.h>

#include <string>

#include "util/PathText.h"

namespace {

// 0x5C is the trail byte of ソ and 表: never a separator there.
TEST(PathText, SeparatorsAreCharacters)
{
    const struct {
        std::string path;
        bool endsWithSeparator;
        std::string folder;
    } cases[] = {
        {"", false, ""},
        {"C:\\", true, "C:\\"},
        {"C:\\a\\ソ", false, "C:\\a\\"},
        {"C:\\a\\dst表", false, "C:\\a\\"},
        {"C:\\a\\ソ\\", true, "C:\\a\\ソ\\"},
        {"C:\\表\\ソフト.exe", false, "C:\\表\\"},
        {"C:/a/b", false, "C:/a/"},
        {"name.txt", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.endsWithSeparator, EndsWithSeparator(c.path)) << c.path;
        EXPECT_EQ(c.folder, FolderPart(c.path)) << c.path;
        std::string appended = c.path;
        AppendSeparator(appended);
        EXPECT_EQ(c.endsWithSeparator ? c.path : c.path + "\\", appended) << c.path;
    }
}

} // namespace
