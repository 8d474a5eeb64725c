// Make Voc File on a file that already holds words: the question, and what each answer leaves
// on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "FakeWindow.h"
#include "MakeVoc.h"
#include "TempDir.h"
#include "VocTestSupport.h"

namespace {

constexpr int kAdd = 0;
constexpr int kReplace = 1;
constexpr int kCancel = 2;

const std::string kPortas =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n";
const std::string kAsk = "\nAdd the new words at its end, or replace it with an empty file?";

// Chooses `path`, answers the question (if one comes) with `answer`, submits portas, finishes.
void AddPortas(CFakeWindow& wnd, const std::string& path, int answer) {
    CMakeVoc voc;
    voc.SetWindow(&wnd);
    wnd.choices.push_back(path);
    wnd.answers.push_back(answer);
    voc.OnCreateVocFile();
    const char* word[] = {"portas", "porto portare portavi portatum", "carry", "bring", "bear"};
    for (int i = 0; i < 5; ++i) wnd.texts[IDC_MAKE_TEXTFORM + i] = word[i];
    voc.OnSubmit();
    voc.OnFinish();
}

struct Shape {
    const char* name;
    std::string bytes;
    std::string question;    // its first sentence
    std::string completion;  // what adding puts before the new word
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Shape& shape, std::ostream* os) { *os << shape.name; }

class ExistingFile : public ::testing::TestWithParam<Shape> {};

TEST_P(ExistingFile, EachAnswerLeavesWhatItSays) {
    const Shape& s = GetParam();
    struct Answer {
        int button;
        std::string bytes;
        std::size_t boxes;  // SUBMIT without a file is refused
    };
    const Answer answers[] = {
        {kAdd, s.bytes + s.completion + kPortas, 0},
        {kReplace, kPortas, 0},
        {kCancel, s.bytes, 1},
    };
    for (const Answer& a : answers) {
        TempDir dir;
        const std::string path = dir.Write("lesson3.voc", s.bytes);
        CFakeWindow wnd(IDD_MAKEVOC);
        AddPortas(wnd, path, a.button);
        ASSERT_EQ(wnd.questions.size(), 1u) << a.button;
        EXPECT_EQ(wnd.questions[0].text, s.question + kAsk);
        EXPECT_EQ(wnd.questions[0].caption, "Make Voc File");
        EXPECT_EQ(wnd.questions[0].buttons,
                  (std::vector<std::string>{"&Add", "&Replace", "Cancel"}));
        EXPECT_EQ(ReadBytes(path), a.bytes) << a.button;
        EXPECT_EQ(wnd.boxes.size(), a.boxes) << a.button;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ExistingFile,
    ::testing::Values(
        Shape{"whole", Entry("amo amare", "love") + Entry("rex regis", "king"),
              "lesson3.voc already holds 2 words.", ""},
        Shape{"one_word", Entry("amo amare", "love"), "lesson3.voc already holds 1 word.", ""},
        Shape{"last_line_without_line_end", "amo amare\r\nlove\r\n\r\n\r\n\r\nlike",
              "lesson3.voc already holds 1 word.", "\r\n"},
        Shape{"cut_short", Entry("amo amare", "love") + "rex regis\r\nking\r\n",
              "lesson3.voc already holds 2 words.", "\r\n\r\n\r\n\r\n"},
        Shape{"cut_short_without_line_end", "rex regis\r\nking",
              "lesson3.voc already holds 1 word.", "\r\n\r\n\r\n\r\n\r\n"},
        Shape{"bare_lf", "amo amare\nlove\n\n\n\n\nrex regis\nking\n\n\n\n\n",
              "lesson3.voc already holds 2 words.", ""},
        // An extra empty line is the headword of a further, empty word, as every reader sees it.
        Shape{"extra_empty_line", Entry("amo amare", "love") + "\r\n",
              "lesson3.voc already holds 2 words.", "\r\n\r\n\r\n\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MakeVocExisting, NewOrEmptyFileIsTakenWithoutAQuestion) {
    TempDir dir;
    for (const std::string& path : {dir.File("new.voc"), dir.Write("empty.voc", "")}) {
        CFakeWindow wnd(IDD_MAKEVOC);
        AddPortas(wnd, path, kCancel);
        EXPECT_TRUE(wnd.questions.empty()) << path;
        EXPECT_EQ(ReadBytes(path), kPortas) << path;
    }
}

// Another program cuts the file short while the user reads the question.
class CChangingWindow : public CFakeWindow {
public:
    CChangingWindow(std::string path, std::string bytes)
        : CFakeWindow(IDD_MAKEVOC), m_path(std::move(path)), m_bytes(std::move(bytes)) {}
    int AskChoice(const tr::Message& text, const std::string& caption,
                  const std::vector<std::string>& buttons) override {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << m_bytes;
        return CFakeWindow::AskChoice(text, caption, buttons);
    }

private:
    std::string m_path, m_bytes;
};

TEST(MakeVocExisting, AddingCompletesTheFileAsItIsWhenOpened) {
    TempDir dir;
    const std::string path = dir.Write("lesson3.voc", Entry("amo amare", "love"));
    CChangingWindow wnd(path, "rex regis\r\n");
    AddPortas(wnd, path, kAdd);
    EXPECT_EQ(ReadBytes(path), "rex regis\r\n\r\n\r\n\r\n\r\n\r\n" + kPortas);
}

TEST(MakeVocExisting, FailedWriteWhileAddingKeepsEveryOldByte) {
    const std::string old = "amo amare\r\nlove";  // completed by 5 line ends: 10 bytes
    struct Case {
        const char* name;
        rlim_t limit;
        RecordedBox box;
        std::string bytes;
        int fileOpen;
    };
    const Case cases[] = {
        {"the completion does not fit",
         old.size() + 3,
         {"Error opening file for wrinting. Code:13", "Error", MB_OK},
         old,
         0},
        {"the word does not fit",
         old.size() + 10 + 5,
         {"Error writing file. Code:13. The word was not added; it is still in the boxes.", "Error",
          MB_OK},
         old + "\r\n\r\n\r\n\r\n\r\n",
         1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.Write("lesson3.voc", old);
        const int rc = InChild([&] {
            LimitFileSize(c.limit);
            CFakeWindow wnd(IDD_MAKEVOC);
            CMakeVoc voc;
            voc.SetWindow(&wnd);
            wnd.choices.push_back(path);
            wnd.answers.push_back(kAdd);
            voc.OnCreateVocFile();
            wnd.texts[IDC_MAKE_TEXTFORM] = "portas";
            voc.OnSubmit();
            if (voc.m_bFileOpen != c.fileOpen) return 1;
            return !wnd.boxes.empty() && wnd.boxes.front() == c.box ? 0 : 2;
        });
        EXPECT_EQ(rc, 0) << c.name;
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.name;
    }
}

TEST(MakeVocExisting, FileWeMayWriteButNotReadIsStillAskedAbout) {
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    const std::string old = Entry("amo amare", "love");
    struct Case {
        int answer;
        std::string bytes;
        std::size_t boxes;
    };
    // Adding must read the file to end its last entry, so it is refused with the cause.
    const Case cases[] = {{kAdd, old, 2}, {kReplace, kPortas, 0}};
    for (const Case& c : cases) {
        const std::string path = dir.Write("hidden.voc", old);
        std::filesystem::permissions(path, std::filesystem::perms(0222));
        const int rc = InChild([&] {
            if (!DropRoot()) return kCannotDropRoot;
            CFakeWindow wnd(IDD_MAKEVOC);
            AddPortas(wnd, path, c.answer);
            const std::string asked =
                "hidden.voc is not empty, but it cannot be read to count its words." + kAsk;
            if (wnd.questions.size() != 1 || wnd.questions[0].text != asked) return 1;
            if (wnd.boxes.size() != c.boxes) return 2;
            const RecordedBox refused{"Error opening file for wrinting. Code:5", "Error", MB_OK};
            return c.boxes == 0 || wnd.boxes[0] == refused ? 0 : 3;
        });
        if (rc == kCannotDropRoot) GTEST_SKIP() << "cannot run as an unprivileged user";
        EXPECT_EQ(rc, 0) << c.answer;
        std::filesystem::permissions(path, std::filesystem::perms(0644));
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.answer;
    }
}

}  // namespace
