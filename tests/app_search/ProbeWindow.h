// ProbeWindow: the editor's real main window, created in the test's own
// process, with its commands and state opened up to the tests. The fixture
// makes one per test and drains the quit message its destruction posts, so
// that the next test's modal loops are not ended by it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/TestWindow.h"
#include "support/DialogDriver.h"

class ProbeWindow : public TestWindow {
public:
    using TestWindow::OnAbout;
    using TestWindow::OnChangeWallpaper;
    using TestWindow::OnFindNext;
    using TestWindow::OnSearch;
    using TestWindow::OnSwapText;
    using TestWindow::OnFont;
    using TestWindow::OnRecentFile;
    using TestWindow::OpenDocumentFile;
    using TestWindow::ResultPane;

    using TestWindow::fileDocument;
    using TestWindow::lastSearchText;
    using TestWindow::leftPane;
    using TestWindow::modified;
    using TestWindow::rightPane;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ProbeWindow window;
    DialogDriver driver;
};
