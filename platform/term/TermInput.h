// Where a terminal front end takes the lines the user types.
//
// Each call gives one line without its line end (LF, or CR LF from a file written elsewhere),
// the end of the input (Ctrl+D, or the end of a pipe), or an interruption (Ctrl+C).
#pragma once

#include <signal.h>

#include <cstddef>
#include <iosfwd>
#include <string>

enum class TermRead { kLine, kEnd, kInterrupted };

class ITermInput {
public:
    virtual ~ITermInput() = default;
    virtual TermRead ReadLine(std::string& line) = 0;
};

// Lines of a stream, for callers that hold the input in memory. Never interrupted.
class CStreamInput : public ITermInput {
public:
    explicit CStreamInput(std::istream& in) : m_in(in) {}
    TermRead ReadLine(std::string& line) override;

private:
    std::istream& m_in;
};

// Lines of a file descriptor (standard input), with Ctrl+C as an interruption rather than the
// end of the process: while the object lives, SIGINT sets a flag and wakes a waiting read, and
// the caller can still finish its work (show a score, write a file). Only one may live at a
// time. A line longer than kKeepBytes keeps its first kKeepBytes bytes; the rest is read past.
class CDescriptorInput : public ITermInput {
public:
    static constexpr std::size_t kKeepBytes = 64 * 1024;

    explicit CDescriptorInput(int fd);
    ~CDescriptorInput() override;
    CDescriptorInput(const CDescriptorInput&) = delete;
    CDescriptorInput& operator=(const CDescriptorInput&) = delete;

    TermRead ReadLine(std::string& line) override;

private:
    int m_fd;
    std::string m_buffer;
    bool m_eof = false;
    struct sigaction m_oldAction {};
    sigset_t m_oldMask{};
};
