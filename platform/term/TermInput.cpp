#include "TermInput.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <istream>

namespace {

volatile sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) { g_interrupted = 1; }

void DropLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

TermRead CStreamInput::ReadLine(std::string& line) {
    if (!std::getline(m_in, line)) {
        line.clear();
        return TermRead::kEnd;
    }
    DropLineEnd(line);
    return TermRead::kLine;
}

CDescriptorInput::CDescriptorInput(int fd) : m_fd(fd) {
    g_interrupted = 0;
    // No SA_RESTART: a read must come back when the user presses Ctrl+C.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &m_oldAction);
    // SIGINT stays blocked except inside ppoll, so a press between the flag's test and the wait
    // cannot be lost: it is delivered the moment the wait begins.
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    ::sigprocmask(SIG_BLOCK, &block, &m_oldMask);
}

CDescriptorInput::~CDescriptorInput() {
    // A press still pending reaches our handler, not the default one that would end the process.
    ::sigprocmask(SIG_SETMASK, &m_oldMask, nullptr);
    ::sigaction(SIGINT, &m_oldAction, nullptr);
}

TermRead CDescriptorInput::ReadLine(std::string& line) {
    line.clear();
    bool cut = false;
    for (;;) {
        if (g_interrupted) return TermRead::kInterrupted;
        const std::size_t lf = m_buffer.find('\n');
        if (lf != std::string::npos) {
            if (!cut) line.append(m_buffer, 0, std::min(lf, kKeepBytes - line.size()));
            m_buffer.erase(0, lf + 1);
            DropLineEnd(line);
            return TermRead::kLine;
        }
        if (m_eof) {
            // A last line without a line end is still an answer.
            if (m_buffer.empty() && line.empty() && !cut) return TermRead::kEnd;
            if (!cut) line.append(m_buffer, 0, kKeepBytes - line.size());
            m_buffer.clear();
            DropLineEnd(line);
            return TermRead::kLine;
        }
        if (m_buffer.size() >= kKeepBytes - line.size() || cut) {
            if (!cut) line.append(m_buffer, 0, kKeepBytes - line.size());
            cut = true;
            m_buffer.clear();
        }

        sigset_t waitMask = m_oldMask;
        sigdelset(&waitMask, SIGINT);
        pollfd p{m_fd, POLLIN, 0};
        const int ready = ::ppoll(&p, 1, nullptr, &waitMask);
        if (ready < 0) {
            if (errno == EINTR) continue;
            m_eof = true;
            continue;
        }
        char chunk[4096];
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            m_eof = true;  // an input that fails is an input that has ended
        } else if (n == 0) {
            m_eof = true;
        } else {
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }
}
