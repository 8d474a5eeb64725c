// The line-oriented text file that every vocabulary reader and writer goes through.
//
// A CTextFile is opened for exclusive use: while one object holds a file, every other open of
// the same file, from this process or another that also locks, fails with the sharing-violation
// cause. Open failures are reported through a CFileException record passed in by the caller;
// read, write, flush and close failures are thrown as CFileException.
//
// Text mode: reading takes LF or CR LF as a line end and drops it; writing turns every LF into
// CR LF. Files are plain bytes: nothing is converted, validated or escaped.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// The failure record: a cause number that users may quote, and the system's error code.
class CFileException : public std::exception {
public:
    // Our fixed numbering of failure causes; the open-failure messages print these numbers.
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException() = default;
    CFileException(int cause, int osError) : m_cause(cause), m_lOsError(osError) {}

    // Maps a system error number to our cause number.
    static int CauseFromErrno(int err);

    const char* what() const noexcept override;

    int m_cause = none;
    int m_lOsError = -1;
};

// The folder that holds `path`: "." for a bare name.
std::string FolderOf(const std::string& path);

class CTextFile {
public:
    // Mode bits, combined as the callers pass them: 0 reads; 0x1011 creates or empties and writes;
    // 0x3012 creates or keeps a file, and writes at its end after reading what is there.
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,  // writes, and ReadAt may look at what the file holds
        shareExclusive = 0x0010,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,  // keep an existing file; writes go to its end
    };

    CTextFile() = default;
    CTextFile(const CTextFile&) = delete;
    CTextFile& operator=(const CTextFile&) = delete;
    // Flushes and closes an open file; a failure at that point is swallowed.
    ~CTextFile();

    // Opens `path` for exclusive use. Returns false and fills `error` (when given) on failure.
    // A create truncates only once the lock is held, so a failed open never empties a file
    // that someone else holds.
    bool Open(const std::string& path, unsigned flags, CFileException* error);

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& GetFilePath() const { return m_path; }

    // Reads the next line without its line end. Returns false, with `line` empty, when the
    // file has no more text. A last line without a line end is still a line.
    // Of a line longer than `keep` bytes only the first `keep` are kept and `*cut` is set; the
    // rest is read past without being held, so a line of any length costs bounded memory.
    bool ReadString(std::string& line, std::size_t keep = std::string::npos, bool* cut = nullptr);

    // Reads up to `count` bytes as they are stored, line ends unconverted, taking first what
    // ReadString has read ahead. Returns how many were read; 0 at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);

    // Reads up to `count` bytes as stored from `offset`, leaving alone the file position and
    // anything buffered. Returns how many were read; 0 at the end of the file.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count);

    // Buffers `text`, each LF stored as CR LF; adds no line end of its own.
    void WriteString(std::string_view text);

    // Hands everything buffered to the system.
    void Flush();
    // Flush, then wait until the data is on the disk.
    void Sync();

    // Size of the file as written so far (after a Flush).
    std::uint64_t GetLength();
    // Drops anything still buffered, cuts the file to `length` bytes and writes on from there.
    void SetLength(std::uint64_t length);

    // Flushes and closes. The file is closed even when the flush fails; the failure is thrown.
    void Close();

    // Closes without flushing or throwing: what was still buffered is dropped.
    void Abort();

private:
    bool FillBuffer();
    [[noreturn]] void ThrowLastError() const;

    int m_fd = -1;
    bool m_bWrite = false;
    std::string m_path;
    std::string m_buffer;    // read-ahead or pending output
    std::size_t m_pos = 0;   // read position inside m_buffer
    bool m_bEof = false;
};
