// Every system call of the builder and of the reordering fails in turn, with each of the errors
// a disk gives: the user is told the right thing, the vocabulary on disk is the old file or
// whole entries only, nothing is left beside it, and the next command works.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ChangeOrder.h"
#include "FakeWindow.h"
#include "MakeVoc.h"
#include "SysCall.h"
#include "TempDir.h"
#include "VocTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Format(const char* format, int cause) {
    char buffer[100];
    std::snprintf(buffer, sizeof buffer, format, cause);
    return buffer;
}

// Far more calls than any one command makes: a loop that never completes is a fault too.
constexpr long kMaxCalls = 500;
const int kErrors[] = {ENOSPC, EIO, EFBIG, EACCES};

constexpr std::array<int, 7> kBoxes = {IDC_MAKE_TEXTFORM, IDC_MAKE_DICTFORM, IDC_MAKE_DEF1,
                                       IDC_MAKE_DEF2,     IDC_MAKE_DEF3,     IDC_MAKE_DEF4,
                                       IDC_MAKE_DEF5};

// One builder session: the steps done before the one that meets the fault.
struct Builder {
    explicit Builder(const std::string& path) : path(path) { voc->SetWindow(&wnd); }

    void Type(int word) {
        const std::string n = std::to_string(word);
        const std::string texts[7] = {"w" + n, "verbum" + n + " x", "d" + n, "", "e" + n, "", ""};
        for (std::size_t i = 0; i < kBoxes.size(); ++i) wnd.texts[kBoxes[i]] = texts[i];
    }
    static std::string Stored(int word) {
        const std::string n = std::to_string(word);
        return Entry("w" + n + " verbum" + n + " x", "d" + n, "", "e" + n);
    }
    void Create() {
        wnd.choices.push_back(path);
        voc->OnCommand(IDC_MAKE_CREATE);
    }
    void Submit(int word) {
        Type(word);
        voc->OnCommand(IDC_MAKE_SUBMIT);
    }
    void Finish() { voc->OnCommand(IDC_MAKE_FINISH); }

    std::string path;
    CFakeWindow wnd{IDD_MAKEVOC};
    std::unique_ptr<CMakeVoc> voc = std::make_unique<CMakeVoc>();
};

enum class Step { kCreate, kSubmit, kFinish };

TEST(FaultInjection, TheBuilderKeepsWholeEntriesAndGoesOn) {
    struct Case {
        const char* name;
        int before;  // words submitted before the step
        Step step;
    };
    const Case cases[] = {
        {"create", 0, Step::kCreate},
        {"first submit", 0, Step::kSubmit},
        {"third submit", 2, Step::kSubmit},
        {"finish", 2, Step::kFinish},
    };
    for (const auto& c : cases) {
        for (int err : kErrors) {
            const int cause = CFileException::CauseFromErrno(err);
            bool completed = false;
            for (long k = 1; k <= kMaxCalls && !completed; ++k) {
                SCOPED_TRACE(testing::Message() << c.name << ", errno " << err << ", call " << k);
                TempDir dir;
                Builder b(dir.File("words.voc"));
                std::string before;
                if (c.step != Step::kCreate) b.Create();
                for (int w = 0; w < c.before; ++w) {
                    b.Submit(w);
                    before += Builder::Stored(w);
                }
                ASSERT_TRUE(b.wnd.boxes.empty());

                sys::fault::Arm(sys::Call::kAny, k, err);
                switch (c.step) {
                    case Step::kCreate:
                        b.Create();
                        break;
                    case Step::kSubmit:
                        b.Submit(c.before);
                        break;
                    case Step::kFinish:
                        b.Finish();
                        break;
                }
                completed = !sys::fault::Disarm();

                const bool exists = fs::exists(b.path);
                const std::string after = exists ? ReadBytes(b.path) : "";
                // A failure while the builder only looks at a file that is not there costs
                // nothing: a new file needs no question.
                const bool onlyLooked = c.step == Step::kCreate && b.voc->m_bFileOpen;
                if (completed || onlyLooked) {
                    EXPECT_TRUE(b.wnd.boxes.empty()) << b.wnd.LastBox();
                } else {
                    ASSERT_EQ(b.wnd.boxes.size(), 1u);
                    const RecordedBox box = b.wnd.LastBox();
                    EXPECT_EQ(box.caption, "Error");
                    EXPECT_EQ(box.type, MB_OK);
                    switch (c.step) {
                        case Step::kCreate:
                            EXPECT_EQ(box.text,
                                      Format("Error opening file for wrinting. Code:%d", cause));
                            EXPECT_FALSE(exists);
                            EXPECT_EQ(b.voc->m_bFileOpen, 0);
                            break;
                        case Step::kSubmit:
                            EXPECT_TRUE(
                                box.text == Format("Error writing file. Code:%d. The word was not "
                                                   "added; it is still in the boxes.",
                                                   cause) ||
                                box.text == Format("Error writing file. Code:%d. The file was "
                                                   "closed; the word is still in the boxes.",
                                                   cause))
                                << box.text;
                            EXPECT_EQ(after, before);
                            EXPECT_EQ(b.wnd.texts[IDC_MAKE_TEXTFORM],
                                      "w" + std::to_string(c.before));
                            break;
                        case Step::kFinish:
                            EXPECT_EQ(box.text, Format("Error closing file. Code:%d", cause));
                            EXPECT_EQ(after, before);
                            break;
                    }
                }
                if (completed && c.step == Step::kSubmit) {
                    EXPECT_EQ(after, before + Builder::Stored(c.before));
                }
                EXPECT_EQ(Listing(dir.path()), exists ? std::vector<std::string>{"words.voc"}
                                                      : std::vector<std::string>{});

                // The dialog goes on: a word submitted now is stored whole after the others.
                if (b.wnd.endResult) b.voc = std::make_unique<CMakeVoc>(), b.voc->SetWindow(&b.wnd);
                if (!b.voc->m_bFileOpen) {
                    // Words already stored are asked about and kept: add after them.
                    b.wnd.answers.push_back(0);
                    b.Create();
                    before = fs::exists(b.path) ? ReadBytes(b.path) : "";
                } else if (c.step == Step::kSubmit && completed) {
                    before += Builder::Stored(c.before);
                }
                const std::size_t boxes = b.wnd.boxes.size();
                b.Submit(99);
                b.Finish();
                EXPECT_EQ(b.wnd.boxes.size(), boxes);
                EXPECT_EQ(ReadBytes(b.path), before + Builder::Stored(99));
            }
            EXPECT_TRUE(completed) << c.name << " never completed";
        }
    }
}

TEST(FaultInjection, AddingToAFileKeepsItsWordsAndGoesOn) {
    // The last entry is cut short, so adding first completes it: that write may fail too.
    const std::string old = Builder::Stored(0) + "w1 verbum1 x\r\nd1";
    const std::string completed1 = Builder::Stored(0) + Entry("w1 verbum1 x", "d1");
    for (int err : kErrors) {
        bool completed = false;
        for (long k = 1; k <= kMaxCalls && !completed; ++k) {
            SCOPED_TRACE(testing::Message() << "errno " << err << ", call " << k);
            TempDir dir;
            Builder b(dir.Write("words.voc", old));
            b.wnd.answers = {0, 0};  // Add, now and when asked again
            sys::fault::Arm(sys::Call::kAny, k, err);
            b.Create();
            completed = !sys::fault::Disarm();

            const std::string after = ReadBytes(b.path);
            if (b.voc->m_bFileOpen) {
                EXPECT_TRUE(b.wnd.boxes.empty()) << b.wnd.LastBox();
                EXPECT_EQ(after, completed1);
            } else {
                ASSERT_EQ(b.wnd.boxes.size(), 1u);
                EXPECT_EQ(b.wnd.LastBox().text.rfind("Error opening file for wrinting. Code:", 0),
                          0u)
                    << b.wnd.LastBox();
                EXPECT_EQ(after, old);
                b.Create();
            }
            EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"words.voc"});
            b.Submit(99);
            b.Finish();
            EXPECT_EQ(ReadBytes(b.path), completed1 + Builder::Stored(99));
        }
        EXPECT_TRUE(completed);
    }
}

TEST(FaultInjection, TheReorderingLeavesTheOriginalOrTheWholeNewOrder) {
    std::string original, reordered;
    const char* letters = "ABCDE";
    for (char c : std::string(letters)) {
        const std::string l(1, c);
        original += Entry(l + " " + l + "x", l + "1", "", l + "3");
    }
    for (char c : std::string("ECABD")) {
        const std::string l(1, c);
        reordered += Entry(l + " " + l + "x", l + "1", "", l + "3");
    }
    const RecordedBox changed{"The vocabulary order has been changed", "Order Changed", MB_OK};
    for (int err : kErrors) {
        const int cause = CFileException::CauseFromErrno(err);
        const std::vector<std::string> unchanged = {
            Format("Error Opening file for reading, Code: %d", cause),
            Format("Error reading file, Code: %d. The file was left unchanged.", cause),
            Format("Error opening file for writing. Code: %d", cause),
            Format("Error writing the new order. Code: %d. The file was left unchanged.", cause),
        };
        bool completed = false;
        for (long k = 1; k <= kMaxCalls && !completed; ++k) {
            SCOPED_TRACE(testing::Message() << "errno " << err << ", call " << k);
            TempDir dir;
            const std::string path = dir.Write("words.voc", original);
            CFakeWindow wnd(0);
            wnd.choices.push_back(path);
            sys::fault::Arm(sys::Call::kAny, k, err);
            ChangeOrder(wnd);
            completed = !sys::fault::Disarm();

            ASSERT_EQ(wnd.boxes.size(), 1u);
            const std::string after = ReadBytes(path);
            if (after == reordered) {
                // A failure the reordering could work around (no unnamed file: a named one).
                EXPECT_EQ(wnd.LastBox(), changed);
            } else {
                EXPECT_FALSE(completed);
                EXPECT_TRUE(after == original) << "neither the old file nor the new order";
                EXPECT_EQ(wnd.LastBox().caption, "Error");
                EXPECT_NE(std::find(unchanged.begin(), unchanged.end(), wnd.LastBox().text),
                          unchanged.end())
                    << wnd.LastBox();
            }
            EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"words.voc"});

            // The next Change Order works.
            wnd.choices.push_back(path);
            ChangeOrder(wnd);
            EXPECT_EQ(wnd.LastBox(), changed);
        }
        EXPECT_TRUE(completed);
    }
}

}  // namespace
