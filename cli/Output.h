// Where a command puts what it makes: a file written whole or not at all, or standard output.
//
// A file is written beside its name and takes that name only when whole (CReplaceFile), so an
// interrupted command never leaves half a file. An existing file is replaced only when the
// user said --force; without it the command is refused before it does any work.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ReplaceFile.h"
#include "TavrinVoc.h"

class COutput {
public:
    explicit COutput(CliStreams& io) : m_io(io) {}

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
};

// "the file could not be found (code 2); check the name": a file layer cause as the user reads
// it, with what to do about it where there is something to do.
std::string DescribeCause(int cause);
