// Command-line driver for bench/reorder.sh: makes a large vocabulary file, or reorders one.
//
//   reorder_bench make COUNT FILE   writes COUNT word entries to FILE
//   reorder_bench reorder FILE      reorders FILE; exit code 0 when it was rewritten
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Reorder.h"
#include "TextFile.h"

namespace {

int Make(long count, const char* path) {
    CTextFile out;
    CFileException error;
    if (!out.Open(path, CTextFile::modeCreate | CTextFile::shareExclusive | CTextFile::modeWrite,
                  &error)) {
        std::fprintf(stderr, "cannot create %s: cause %d\n", path, error.m_cause);
        return 1;
    }
    try {
        for (long i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            out.WriteString("portas" + n + " porto portare portavi portatum\ncarry\nbring\nbear " +
                            n + "\n\n\n");
        }
        out.Close();
    } catch (const CFileException& e) {
        std::fprintf(stderr, "cannot write %s: cause %d\n", path, e.m_cause);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "make") == 0) {
        return Make(std::atol(argv[2]), argv[3]);
    }
    if (argc == 3 && std::strcmp(argv[1], "reorder") == 0) {
        const ReorderResult r = ReorderVocFile(argv[2]);
        if (r.outcome == ReorderOutcome::kRewritten) return 0;
        std::fprintf(stderr, "reorder failed: outcome %d, cause %d\n", static_cast<int>(r.outcome),
                     r.cause);
        return 1;
    }
    std::fprintf(stderr, "usage: %s make COUNT FILE | reorder FILE\n", argv[0]);
    return 2;
}
