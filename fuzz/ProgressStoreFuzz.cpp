// The store of answers over any file where a store should be: opening it to record either
// refuses, with a kind, the path and words for the student, and leaves the file byte for byte as
// it was; or opens it, and then an answer is recorded or refused cleanly.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "Recorder.h"
#include "Store.h"
#include "TempDir.h"

namespace {

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f);
    FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
    FUZZ_CHECK(std::fclose(f) == 0);
}

// SQLite's log and index beside a store are part of it: a run's leftovers would change what
// the next input means.
void RemoveStore(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        ::unlink((path + suffix).c_str());
    }
}

}  // namespace

void FuzzProgressStore(const std::uint8_t* data, std::size_t size) {
    // A folder of the target's own, removed at exit; scripts/fuzz.sh points TMPDIR at memory.
    static const TempDir dir;
    const std::string path = dir.File("progress.sqlite");
    RemoveStore(path);
    WriteFile(path, data, size);
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    {
        progress::CProgressStore store;
        progress::StoreProblem problem;
        if (!store.OpenToRecord(path, problem)) {
            FUZZ_CHECK(problem.kind != progress::StoreProblem::kNone);
            FUZZ_CHECK(problem.path == path);
            FUZZ_CHECK(!progress::DescribeProblem(problem, true).empty());
            FUZZ_CHECK(!progress::DescribeProblem(problem, false).empty());
            FUZZ_CHECK(!store.IsOpen());
            FUZZ_CHECK(ReadBytes(path) == bytes);
        } else {
            progress::Answer answer;
            answer.time = 1773144000;
            answer.word = progress::WordKey("rosa, rosae");
            answer.headword = "rosa, rosae";
            answer.page = "latin";
            answer.correct = size % 2 == 0;
            answer.typed = "rose";
            answer.file = "f.voc";
            if (store.Record(answer, problem)) {
                FUZZ_CHECK(problem.kind == progress::StoreProblem::kNone);
            } else {
                FUZZ_CHECK(problem.kind != progress::StoreProblem::kNone);
                FUZZ_CHECK(problem.path == path);
            }
            // What a report would read next: whatever the file held, it ends without a crash.
            store.ForEachCard(
                "", [](const progress::Card&) {}, problem);
            store.ForEachAnswer([](const progress::Answer&) {}, problem);
        }
    }
    RemoveStore(path);
}
