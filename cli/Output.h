// Where a command puts what it makes: a file written whole or not at all, or standard output.
//
// A file is written beside its name and takes that name only when whole (CReplaceFile), so an
// interrupted command never leaves half a file. An existing file is replaced only when the
// user said --force; without it the command is refused before it does any work.
#pragma once

#include <cerrno>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

#include "ReplaceFile.h"
#include "TavrinVoc.h"

// Standard output's own stream buffer, passed through with the errno of the first write that
// failed kept: the stream keeps none, and the write may fail in a flush that a message on
// standard error makes (the two streams are tied), long before the command looks.
class CErrnoKeepingBuf : public std::streambuf {
public:
    explicit CErrnoKeepingBuf(std::streambuf* to) : m_to(to) {}
    // The errno of the first failed write; 0 while none failed.
    int Errno() const { return m_errno; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    void Keep(int err) {
        if (m_errno == 0) m_errno = err != 0 ? err : EIO;
    }

    std::streambuf* m_to;
    int m_errno = 0;
};

class COutput {
public:
    explicit COutput(CliStreams& io) : m_io(io) {}
    ~COutput();
    COutput(const COutput&) = delete;
    COutput& operator=(const COutput&) = delete;

    // Gets `path` ready for writing; "-" is standard output. Returns false, having told the
    // user why, when the file exists and `force` is not set or it cannot be written.
    bool Open(const std::string& path, bool force);

    // Throws CFileException; a file keeps its old content until Commit.
    void Write(std::string_view bytes);

    // Puts the file in place. Returns false, having told the user why; the old file, if any,
    // is then as it was.
    bool Commit();

    const std::string& Path() const { return m_path; }

private:
    CliStreams& m_io;
    std::string m_path;
    bool m_force = false;
    std::optional<CReplaceFile> m_file;  // empty for standard output
    // Standard output's buffer while it is the output, and the one it stands in for.
    std::optional<CErrnoKeepingBuf> m_stdout;
    std::streambuf* m_stdoutBuf = nullptr;
};

// "the file could not be found (code 2); check the name": a file layer cause as the user reads
// it, with what to do about it where there is something to do.
std::string DescribeCause(int cause);
