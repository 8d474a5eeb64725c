// Reading what a command is given: a file through the file layer, or standard input, taken
// line by line in bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

#include "LineReader.h"
#include "TavrinVoc.h"
#include "TextFile.h"

// A stream buffer over an open CTextFile: the file's bytes as stored. Read failures are
// thrown as CFileException.
class CTextFileBuf : public std::streambuf {
public:
    explicit CTextFileBuf(CTextFile& file) : m_file(file), m_buffer(1 << 16) {}

protected:
    int_type underflow() override;
    // Reads straight into `s` what the buffer does not hold: the readers of large files ask for
    // a block at a time, which a pass through the buffer only copied once more.
    std::streamsize xsgetn(char* s, std::streamsize n) override;

private:
    CTextFile& m_file;
    std::vector<char> m_buffer;
};

// One input of a command: "-" for standard input, otherwise a file opened for reading through
// the file layer, which holds it for exclusive use while the command reads it.
class CInput {
public:
    // Returns false, having told the user why on `io.err`, when the file cannot be opened.
    bool Open(const std::string& path, CliStreams& io);

    std::streambuf& Buf() { return *m_buf; }
    // The name to put in messages: the path, or "<stdin>".
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    CTextFile m_file;
    std::unique_ptr<CTextFileBuf> m_fileBuf;
    std::streambuf* m_buf = nullptr;
};

// How a file layer failure while reading is told: "cannot be read: ...".
std::string DescribeReadFailure(const CFileException& e);
