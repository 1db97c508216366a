// A copy of a document's text that fails for want of memory changes
// nothing: not the panes, not the file, not the document's name.
#include "DocumentFixture.h"
#include "FailingAllocator.h"

namespace {

const size_t TextSize = 4000;
const size_t Fails = TextSize;              // the left pane's copy fails
const size_t FailsRight = TextSize + 500; // only the right pane's copy fails
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
        {"swap, left copy fails", Fails, [](DocumentWindow& w) { w.OnSwapText(); }, "メモリが足りません"},
        {"swap, right copy fails", FailsRight, [](DocumentWindow& w) { w.OnSwapText(); }, "メモリが足りません"},
        {"save", Fails, [](DocumentWindow& w) { w.OnSave(); }, "ファイルを保存できませんでした"},
        {"open of a larger file", FailsLargeFile, [](DocumentWindow& w) { w.OnOpen(); },
         "ファイルが大きすぎるため開けませんでした"},
    };
    for (const auto& c : cases) {
        if (c.run == cases[3].run) // the open asks about the edit, then for the file
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
