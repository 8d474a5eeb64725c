// tavrin-voc quiz as its own process, answers through a pipe: how the end of the input and
// Ctrl+C end a quiz.
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include "QuizSupport.h"
#include "TempDir.h"

extern char** environ;

namespace {

// A running tavrin-voc with pipes on its standard input and output.
class CChild {
public:
    explicit CChild(std::vector<std::string> args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, out[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1]})
            posix_spawn_file_actions_addclose(&actions, fd);
        args.insert(args.begin(), TAVRIN_VOC_PATH);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&m_pid, TAVRIN_VOC_PATH, &actions, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("spawn");
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
    }
    ~CChild() {
        if (m_in >= 0) ::close(m_in);
        ::close(m_out);
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    void Type(const std::string& text) {
        ASSERT_EQ(::write(m_in, text.data(), text.size()), ssize_t(text.size()));
    }
    void EndInput() {
        ::close(m_in);
        m_in = -1;
    }
    // Reads until the output holds `text`, for at most ten seconds.
    bool WaitFor(const std::string& text) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (m_seen.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > until || !ReadSome(100)) return false;
        }
        return true;
    }
    // Reads the rest of the output and returns the exit status (or -1 when it did not exit).
    int Finish() {
        while (ReadSome(10000)) {
        }
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t Pid() const { return m_pid; }
    const std::string& Output() const { return m_seen; }

private:
    bool ReadSome(int ms) {
        pollfd p{m_out, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return ::kill(m_pid, 0) == 0 && ms < 10000;
        char buffer[4096];
        const ssize_t n = ::read(m_out, buffer, sizeof buffer);
        if (n <= 0) return false;
        m_seen.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t m_pid = -1;
    int m_in = -1, m_out = -1;
    std::string m_seen;
};

struct EndCase {
    const char* name;
    bool interrupt;  // Ctrl+C; otherwise the input ends (Ctrl+D)
    int status;
};

class QuizEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(QuizEnd, GivesTheScoreSoFarAndTheMissedWords) {
    const EndCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.Write("w.voc", kThreeWords);
    const std::string out = dir.File("missed.voc");
    CChild child({"quiz", "--missed", out, path});
    child.Type("carry\nhate\n");
    // The quiz waits for the third answer, with the input still open.
    ASSERT_TRUE(child.WaitFor("Latin Word: rosa\n")) << child.Output();
    if (c.interrupt) {
        ::kill(child.Pid(), SIGINT);
    } else {
        child.EndInput();
    }
    EXPECT_EQ(child.Finish(), c.status);
    const std::string tail =
        "Latin Word: rosa\nScore = 50%\n1 missed word written to " + out + ".\n";
    EXPECT_EQ(
        child.Output().substr(child.Output().size() - std::min(tail.size(), child.Output().size())),
        tail);
    EXPECT_EQ(ReadBytes(out), kAmat);
}

INSTANTIATE_TEST_SUITE_P(Ends, QuizEnd,
                         ::testing::Values(EndCase{"CtrlC", true, 130}, EndCase{"CtrlD", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
