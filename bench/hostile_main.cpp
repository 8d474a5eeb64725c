// Driver for bench/hostile.sh: drives one test page (or the reordering) over a file that is not
// vocabulary, times every press, and reports the memory the work took beyond idle.
//
//   hostile_bench page latin|english|word FILE
//   hostile_bench reorder FILE
//
// Prints one line: "presses N  slowest_ms X  total_ms Y  idle_MiB I  peak_MiB P  growth_MiB G".
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "EnglishPage.h"
#include "FakeWindow.h"
#include "LatinPage.h"
#include "Reorder.h"
#include "WordPage.h"

namespace {

// Resident memory now and at its peak, in KiB, from the kernel's own count.
long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

struct Timing {
    int presses = 0;
    double slowest = 0, total = 0;
    template <class F>
    void Press(F f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        ++presses;
        total += ms;
        if (ms > slowest) slowest = ms;
    }
};

std::unique_ptr<CTestPage> MakePage(const std::string& kind) {
    if (kind == "latin") return std::make_unique<CLatinPage>();
    if (kind == "english") return std::make_unique<CEnglishPage>();
    if (kind == "word") return std::make_unique<CWordPage>();
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    Timing t;
    const long idle = StatusKiB("VmRSS:");
    if (argc == 4 && std::strcmp(argv[1], "page") == 0) {
        auto page = MakePage(argv[2]);
        if (!page) return 2;
        CFakeWindow wnd(page->TemplateId());
        page->SetWindow(&wnd);
        wnd.choices.push_back(std::string(argv[3]));
        const auto& ids = page->Controls();
        t.Press([&] { page->OnCommand(ids.begin); });
        // Answer and go on until the file ends (or 200 words, for a file of many short lines).
        for (int word = 0; word < 200; ++word) {
            wnd.texts[ids.answer] = "amo";
            t.Press([&] { page->OnCommand(ids.submit); });
            const std::size_t boxes = wnd.boxes.size();
            t.Press([&] { page->OnCommand(ids.next); });
            if (wnd.boxes.size() > boxes) break;  // the end of the test, or a read error
        }
        t.Press([&] { page->OnCommand(ids.quit); });
    } else if (argc == 3 && std::strcmp(argv[1], "reorder") == 0) {
        t.Press([&] { ReorderVocFile(argv[2]); });
    } else {
        std::fprintf(stderr, "usage: %s page latin|english|word FILE | reorder FILE\n", argv[0]);
        return 2;
    }
    const long peak = StatusKiB("VmHWM:");
    std::printf(
        "presses %d  slowest_ms %.1f  total_ms %.1f  idle_MiB %.1f  peak_MiB %.1f  "
        "growth_MiB %.1f\n",
        t.presses, t.slowest, t.total, idle / 1024.0, peak / 1024.0, (peak - idle) / 1024.0);
    return 0;
}
