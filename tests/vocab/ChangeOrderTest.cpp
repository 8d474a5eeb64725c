#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ChangeOrder.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "TextFile.h"
#include "VocTestSupport.h"

namespace {

const std::string kThree = Entry("a ax", "1") + Entry("b bx", "2") + Entry("c cx", "3");
const std::string kThreeReordered = Entry("c cx", "3") + Entry("a ax", "1") + Entry("b bx", "2");

TEST(ChangeOrder, CancelledFileDialogDoesNothing) {
    CFakeWindow wnd(0);
    ChangeOrder(wnd);
    EXPECT_EQ(wnd.fileDialogs, 1);
    EXPECT_EQ(wnd.lastDefaultExt, "voc");
    EXPECT_EQ(wnd.lastFilter, "Vocabulary files (*.voc)|*.voc|All files (*.*)|*.*||");
    EXPECT_TRUE(wnd.boxes.empty());
}

TEST(ChangeOrder, SuccessIsReportedAlsoForAnEmptyFile) {
    TempDir dir;
    struct Case {
        std::string before, after;
    };
    for (const auto& c : {Case{kThree, kThreeReordered}, Case{"", ""}}) {
        CFakeWindow wnd(0);
        const std::string path = dir.Write("words.voc", c.before);
        wnd.choices.push_back(path);
        ChangeOrder(wnd);
        ASSERT_EQ(wnd.boxes.size(), 1u);
        EXPECT_EQ(wnd.LastBox(),
                  (RecordedBox{"The vocabulary order has been changed", "Order Changed", MB_OK}));
        EXPECT_EQ(ReadBytes(path), c.after);
    }
}

TEST(ChangeOrder, ReadingFailuresShowTheirCause) {
    TempDir dir;
    const std::string held = dir.Write("held.voc", kThree);
    CTextFile holder;
    ASSERT_TRUE(holder.Open(held, CTextFile::modeRead, nullptr));
    struct Case {
        std::string path;
        const char* text;
    };
    const Case cases[] = {
        {dir.File("missing.voc"), "Error Opening file for reading, Code: 2"},
        {held, "Error Opening file for reading, Code: 11"},
        {dir.path().string(), "Error Opening file for reading, Code: 5"},
    };
    for (const auto& c : cases) {
        CFakeWindow wnd(0);
        wnd.choices.push_back(c.path);
        ChangeOrder(wnd);
        ASSERT_EQ(wnd.boxes.size(), 1u);
        EXPECT_EQ(wnd.LastBox(), (RecordedBox{c.text, "Error", MB_OK})) << c.path;
    }
    EXPECT_EQ(ReadBytes(held), kThree);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.voc")));
}

// The message is checked in the child, which cannot report through the test's assertions.
template <class Prepare>
int BoxInChild(const std::string& path, const RecordedBox& expected, Prepare prepare) {
    return InChild([&] {
        if (!prepare()) return kCannotDropRoot;
        CFakeWindow wnd(0);
        wnd.choices.push_back(path);
        ChangeOrder(wnd);
        return wnd.boxes.size() == 1 && wnd.LastBox() == expected ? 0 : 1;
    });
}

TEST(ChangeOrder, AFileWeMayNotWriteIsRefusedUnchanged) {
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    const std::string path = dir.Write("locked.voc", kThree);
    std::filesystem::permissions(path, std::filesystem::perms(0444));
    const int rc = BoxInChild(path, {"Error opening file for writing. Code: 5", "Error", MB_OK},
                              [] { return DropRoot(); });
    if (rc == kCannotDropRoot) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadBytes(path), kThree);
}

TEST(ChangeOrder, AFailedWriteSaysTheFileWasLeftUnchanged) {
    TempDir dir;
    const std::string path = dir.Write("full.voc", kThree);
    const int rc = BoxInChild(
        path,
        {"Error writing the new order. Code: 13. The file was left unchanged.", "Error", MB_OK},
        [&] {
            LimitFileSize(kThree.size() / 2);
            return true;
        });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadBytes(path), kThree);
}

}  // namespace
