// The power fails before each system call of every operation that writes a vocabulary (and once
// just after it returned): when it returns, the file is the old one or the whole new one, the
// builder's holds the old words and whole entries only, and the next command works and leaves
// nothing beside the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ChangeOrder.h"
#include "FakeWindow.h"
#include "MakeVoc.h"
#include "PowerCut.h"
#include "Reorder.h"
#include "TavrinVoc.h"
#include "TempDir.h"
#include "VocTestSupport.h"

namespace {

constexpr std::array<int, 7> kBoxes = {IDC_MAKE_TEXTFORM, IDC_MAKE_DICTFORM, IDC_MAKE_DEF1,
                                       IDC_MAKE_DEF2,     IDC_MAKE_DEF3,     IDC_MAKE_DEF4,
                                       IDC_MAKE_DEF5};

std::string Word(int n) {
    const std::string s = std::to_string(n);
    return Entry("w" + s + " verbum" + s + " x", "d" + s, "", "e" + s);
}

// One run of everything a case does, in a folder of its own.
struct Session {
    TempDir dir;
    std::string voc = dir.File("words.voc");
    CFakeWindow wnd{IDD_MAKEVOC};
    std::unique_ptr<CMakeVoc> builder;
    std::string said;  // by the last tavrin-voc command: its exit status and standard error

    void Create(int answer = 0) {
        if (!builder) builder = std::make_unique<CMakeVoc>(), builder->SetWindow(&wnd);
        wnd.answers.push_back(answer);
        wnd.choices.push_back(voc);
        builder->OnCommand(IDC_MAKE_CREATE);
    }
    void Submit(int n) {
        const std::string s = std::to_string(n);
        const std::string texts[7] = {"w" + s, "verbum" + s + " x", "d" + s, "", "e" + s, "", ""};
        for (std::size_t i = 0; i < kBoxes.size(); ++i) wnd.texts[kBoxes[i]] = texts[i];
        builder->OnCommand(IDC_MAKE_SUBMIT);
    }
    void Finish() { builder->OnCommand(IDC_MAKE_FINISH); }

    // tavrin-voc in this process; the names IN, OUT and VOC stand for files in the folder.
    int Voc(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), "tavrin-voc");
        std::vector<const char*> argv;
        for (auto& a : args) {
            if (a == "IN" || a == "OUT") a = dir.File(a == "IN" ? "in.csv" : "out.csv");
            if (a == "VOC") a = voc;
            argv.push_back(a.c_str());
        }
        std::istringstream in(input);
        std::ostringstream out, err;
        const int status = RunTavrinVoc(static_cast<int>(argv.size()), argv.data(), {in, out, err});
        said = "exit status " + std::to_string(status) + err.str();
        return status;
    }
    // What the user was last told: a message box, else what tavrin-voc said.
    std::string Told() const {
        if (wnd.boxes.empty()) return said;
        return wnd.LastBox().caption + ": " + wnd.LastBox().text;
    }
};

// An absent file and an empty one hold the same words.
std::string Bytes(const std::string& path) {
    return std::filesystem::exists(path) ? ReadBytes(path) : "";
}

ino_t FileNumber(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

const std::string kThree = Word(0) + Word(1) + Word(2);
const std::vector<std::string> kQuiz = {"quiz", "--force", "--missed", "OUT", "VOC"};

// What the folder lets a writer make beside the file.
enum class Folder {
    kUnnamedFiles,  // unnamed temporary files
    kNamedFiles,    // none: named ones instead
    // No new file at all (a folder we may not write, the file itself we may): the file is
    // rewritten in place, as long as the case runs and for the next command too.
    kNoNewFiles,
};

struct CutCase {
    const char* name;
    std::string before;                   // words.voc when the case starts ("": none)
    std::function<void(Session&)> steps;  // done first, on a disk that loses what is not flushed
    std::function<void(Session&)> cut;    // the power fails before each of its calls in turn
    std::string judged;                   // the file the cut may change
    std::function<void(Session&)> next;   // must work after the cut
    // The file the next command leaves, from what the cut left and what the case made.
    std::function<std::string(const std::string& disk, const std::string& made)> afterNext;
    Folder folder = Folder::kUnnamedFiles;
    std::string told{};  // what the user is told when the cut step returns ("": not checked)
};

void Nothing(Session&) {}
// A tavrin-voc command as a step.
std::function<void(Session&)> Voc(std::vector<std::string> args, std::string input = "") {
    return [args = std::move(args), input = std::move(input)](Session& r) { r.Voc(args, input); };
}
std::string Made(const std::string&, const std::string& made) { return made; }

// The builder's next session adds a word after whatever the cut left.
void AddAWord(Session& r) {
    r.builder.reset();
    r.Create(0);
    r.Submit(99);
    r.Finish();
}
std::string PlusAWord(const std::string& disk, const std::string&) { return disk + Word(99); }
// A file cut short is completed first.
std::string MadePlusAWord(const std::string&, const std::string& made) { return made + Word(99); }

// The next reordering interleaves what the cut left.
std::string Reordered(const std::string& disk, const std::string&) {
    std::vector<std::string> entries;
    for (std::size_t at = 0, lines = 0; at < disk.size(); ++lines) {
        const std::size_t end = disk.find("\r\n", at) + 2;
        if (lines % 6 == 0) entries.emplace_back();
        entries.back() += disk.substr(at, end - at);
        at = end;
    }
    std::string text;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        text += entries[InterleavedPosition(entries.size(), k)];
    }
    return text;
}

const CutCase kCases[] = {
    {"CreateNew", "", Nothing, [](Session& r) { r.Create(); }, "words.voc", AddAWord, PlusAWord},
    {"CreateReplacing", kThree, Nothing, [](Session& r) { r.Create(1); }, "words.voc", AddAWord,
     PlusAWord},
    {"FirstSubmit", "", [](Session& r) { r.Create(); }, [](Session& r) { r.Submit(0); },
     "words.voc", AddAWord, PlusAWord},
    {"ThirdSubmit", "",
     [](Session& r) {
         r.Create();
         r.Submit(0);
         r.Submit(1);
     },
     [](Session& r) { r.Submit(2); }, "words.voc", AddAWord, PlusAWord},
    {"Finish", "",
     [](Session& r) {
         r.Create();
         r.Submit(0);
     },
     [](Session& r) { r.Finish(); }, "words.voc", AddAWord, PlusAWord},
    {"AddToCutShort", Word(0) + "w1 verbum1 x\r\nd1", Nothing, [](Session& r) { r.Create(0); },
     "words.voc", AddAWord, MadePlusAWord},
    {"SubmitAdding", kThree, [](Session& r) { r.Create(0); }, [](Session& r) { r.Submit(3); },
     "words.voc", AddAWord, PlusAWord},
    {"ChangeOrder", kThree, Nothing,
     [](Session& r) {
         r.wnd.choices.push_back(r.voc);
         ChangeOrder(r.wnd);
     },
     "words.voc", Voc({"reorder", "VOC"}), Reordered},
    {"Reorder", kThree, Nothing, Voc({"reorder", "VOC"}), "words.voc", Voc({"reorder", "VOC"}),
     Reordered},
    {"ReorderNamed", kThree, Nothing, Voc({"reorder", "VOC"}), "words.voc", Voc({"reorder", "VOC"}),
     Reordered, Folder::kNamedFiles},
    // In place the disk holds the old file until the flush and the whole new one after it: the
    // user is told of the new order only once it is there.
    {"ChangeOrderInPlace", kThree, Nothing,
     [](Session& r) {
         r.wnd.choices.push_back(r.voc);
         ChangeOrder(r.wnd);
     },
     "words.voc", Voc({"reorder", "VOC"}), Reordered, Folder::kNoNewFiles,
     "Order Changed: The vocabulary order has been changed"},
    {"ReorderInPlace", kThree, Nothing, Voc({"reorder", "VOC"}), "words.voc",
     Voc({"reorder", "VOC"}), Reordered, Folder::kNoNewFiles, "exit status 0"},
    {"Export", kThree, Nothing, Voc({"export", "VOC", "-o", "OUT"}), "out.csv",
     Voc({"export", "--force", "VOC", "-o", "OUT"}), Made},
    {"ImportReplacing", kThree, Nothing, Voc({"import", "--force", "IN", "-o", "VOC"}), "words.voc",
     Voc({"import", "--force", "IN", "-o", "VOC"}), Made},
    {"QuizMissed", kThree, Nothing, Voc(kQuiz, "x\nx\nx\n"), "out.csv", Voc(kQuiz, "x\nx\nx\n"),
     Made},
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class PowerCutTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(PowerCutTest, LeavesTheOldOrTheWholeNewFileAndTheNextCommandWorks) {
    const CutCase& c = GetParam();
    auto start = [&](Session& r, long cutAt) {
        if (!c.before.empty()) r.dir.Write("words.voc", c.before);
        // A list to import, in the form export writes.
        r.Voc({"export", r.dir.Write("other.voc", Word(5) + Word(6)), "-o", "IN"});
        std::filesystem::remove(r.dir.File("other.voc"));
        if (c.folder == Folder::kNamedFiles) {
            sys::fault::Arm(sys::Call::kTempFile, 1, EOPNOTSUPP, true);
        }
        if (c.folder == Folder::kNoNewFiles) sys::fault::RefuseNewFiles(EACCES);
        auto cut = std::make_unique<PowerCut>(r.dir.path());
        cut->CutAt(cutAt);
        c.steps(r);
        return cut;
    };
    // Without a cut: where the case starts and what it makes; all of it durable once returned.
    Session whole;
    auto watch = start(whole, 0);
    const long first = watch->Calls() + 1;
    const std::string old = Bytes(whole.dir.File(c.judged));
    const ino_t oldFile = FileNumber(whole.dir.File(c.judged));
    c.cut(whole);
    const long last = watch->Calls();
    const std::string made = Bytes(whole.dir.File(c.judged));
    const std::vector<std::string> names = Listing(whole.dir.path());
    if (c.folder == Folder::kNoNewFiles) {
        EXPECT_EQ(FileNumber(whole.dir.File(c.judged)), oldFile) << "not rewritten in place";
    }
    if (!c.told.empty()) {
        EXPECT_EQ(whole.Told(), c.told);
    }
    watch->PowerOn();
    EXPECT_EQ(Bytes(whole.dir.File(c.judged)), made) << "not flushed when it returned";

    for (long k = first; k <= last; ++k) {
        SCOPED_TRACE(testing::Message()
                     << "power cut before call " << k << " of " << first << ".." << last);
        Session r;
        auto cut = start(r, k);
        c.cut(r);
        cut->PowerOn();
        const std::string disk = Bytes(r.dir.File(c.judged));
        ASSERT_TRUE(disk == old || disk == made) << "neither the old file nor the whole new one:\n"
                                                 << disk;
        if (c.folder == Folder::kNoNewFiles) sys::fault::RefuseNewFiles(EACCES);
        c.next(r);
        sys::fault::Disarm();
        EXPECT_EQ(Bytes(r.dir.File(c.judged)), c.afterNext(disk, made));
        EXPECT_EQ(Listing(r.dir.path()), names);
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, PowerCutTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
