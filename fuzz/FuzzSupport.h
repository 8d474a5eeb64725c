// What every fuzz target shares: a property that fails stops the run loudly, so libFuzzer keeps
// the input and a regression test replaying it fails too.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                                     \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

// A file in memory holding exactly `bytes`, reached through a path as the program reaches
// files. One file serves every input of a run.
inline std::string MemoryFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = ::memfd_create("tavrin-fuzz", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::ftruncate(fd, 0) == 0);
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        FUZZ_CHECK(n > 0);
        done += static_cast<std::size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

// The checking functions, one per target; each takes any bytes.
void FuzzTextFile(const std::uint8_t* data, std::size_t size);
void FuzzHeadword(const std::uint8_t* data, std::size_t size);
void FuzzTestPage(const std::uint8_t* data, std::size_t size);
void FuzzReorder(const std::uint8_t* data, std::size_t size);
void FuzzCliCheck(const std::uint8_t* data, std::size_t size);
void FuzzCliImport(const std::uint8_t* data, std::size_t size);
void FuzzShownText(const std::uint8_t* data, std::size_t size);
void FuzzProgressStore(const std::uint8_t* data, std::size_t size);
