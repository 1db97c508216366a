// An open that fails for want of memory changes nothing: not the panes, not
// the file, not the document's name. (A swap and a save copy no text.)
#include "DocumentFixture.h"
#include "FailingAllocator.h"

namespace {

const size_t TextSize = 4000;
// Above what the Open dialog needs (its file-name buffer), below the file.
const size_t FailsLargeFile = 64 * 1024;

TEST_F(DocumentTest, FailedCopiesChangeNothing)
{
    const std::string onDisk(TextSize, 'd');
    const std::string other(TextSize + 1000, 'o');
    const std::string path = folder.Write("doc.txt", onDisk);
    const std::string bigger = folder.Write("bigger.txt", std::string(FailsLargeFile * 2, 'b'));
    OpenThroughDialog(path);
    TypeText("typed ");
    window.rightPane.SetText(other);
    const DocumentState before = State();

    const struct {
        const char* name;
        size_t failFrom;
        void (*run)(DocumentWindow&);
        const char* message;
    } cases[] = {
        {"open of a larger file", FailsLargeFile, [](DocumentWindow& w) { w.OnOpen(); },
         "ファイルが大きすぎるため開けませんでした"},
    };
    for (const auto& c : cases) {
        // The open asks about the edit, then for the file.
        driver.Queue(DialogDriver::Press(IDNO)).Queue(DialogDriver::ChooseFile(bigger));
        driver.Queue(DialogDriver::Press(IDOK));
        {
            FailingAllocator failing(c.failFrom);
            c.run(window);
        }
        ExpectDialogsDone();
        ASSERT_FALSE(driver.Seen().empty());
        EXPECT_EQ(c.message, driver.Seen().back().text) << c.name;
        ExpectState(before, c.name);
        EXPECT_EQ(other, window.rightPane.GetText()) << c.name;
        EXPECT_EQ(onDisk, Bytes(path)) << c.name;
    }
}

} // namespace
