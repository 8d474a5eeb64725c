// Writes a file whole or not at all.
//
// CReplaceFile gives a new content to a file so that a failure or a hard stop (a crash, kill -9,
// a power cut) at any instant leaves either the old file or the whole new one, and no stray
// file beside it:
//
//   CReplaceFile out;
//   CFileException error;
//   if (!out.Begin(path, &error)) ...          // nothing changed; error.m_cause says why
//   out.Write(bytes); ...                      // throws CFileException; nothing changed yet
//   out.Commit(true);                          // throws CFileException; on return, replaced
//
// The new bytes go to an unnamed file (O_TMPFILE) in the target's folder, are flushed to the
// disk, and get a name only when whole: linked to a hidden name, which is renamed over the
// target. Where the file system has no unnamed files, a hidden named file takes their place.
// A hidden file stays behind only when the process stops between its creation and its rename;
// every Begin() in a folder removes such leftovers (".tavrin-new-XXXXXX", and the older
// ".tavrin-order-XXXXXX") that are ours and that no live writer holds: a writer holds an
// exclusive flock on its hidden file as long as it exists.
//
// - Begin(target): follows symbolic links (the link stays, the file it names gets the new
//   content). An existing target must be a regular file that we may open for writing; this is
//   checked by opening it, writing nothing, so a read-only file is refused before any work.
//   A target that does not exist is fine (a new file). Returns false with the cause in `error`.
// - Write(bytes): buffers and writes; throws CFileException. The target is unchanged until
//   Commit (except in place, below).
// - Commit(replaceExisting): flushes to the disk and names the new file. With
//   replaceExisting=true the target is replaced in one rename; with false, Commit fails with
//   EEXIST (cause 1) when the target exists, atomically (the link itself refuses), and the
//   target is untouched. A replaced file keeps the old one's permission bits (and its owner,
//   where we may set it); a new file gets 0666 less the umask. Throws CFileException;
//   after a throw the target is as before and nothing is left in the folder.
// - Discard() and the destructor remove everything not committed.
//
// In place: Begin(target, error, true) allows, for an existing target only, rewriting the
// target itself where no new file can be made in its folder (a folder we may not write). Then
// InPlace() is true, Reserve() claims the space before a byte changes, and a failure during
// Write or Commit may leave the target incomplete. Only for Commit(true).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "TextFile.h"

class CReplaceFile {
public:
    CReplaceFile() = default;
    CReplaceFile(const CReplaceFile&) = delete;
    CReplaceFile& operator=(const CReplaceFile&) = delete;
    ~CReplaceFile() { Discard(); }

    bool Begin(const std::string& target, CFileException* error, bool inPlaceWhenNoRoom = false);

    // Where no space can be had, throws before anything is written. Does nothing unless in place.
    void Reserve(std::uint64_t size);
    void Write(std::string_view bytes);
    void Commit(bool replaceExisting);
    void Discard() noexcept;

    bool InPlace() const { return m_inPlace; }
    // The file that Commit writes: the target with its symbolic links resolved.
    const std::string& Target() const { return m_target; }

    // Removes the hidden files of stopped runs in the folder open as `dirfd`.
    static void RemoveLeftovers(int dirfd);

private:
    bool MakeTempFile();
    bool MakeNamedTempFile();
    void FlushBuffer();
    // Writes `bytes` to the new file, and starts the disk on what is written now and then.
    void WriteOut(std::string_view bytes);
    // Removes the file being written, and its name if it has one.
    void DropTemp() noexcept;
    void NameNewFile(bool replaceExisting);
    [[noreturn]] static void Throw(int err);

    std::string m_target;
    std::string m_base;   // the target's name inside its folder
    int m_dir = -1;       // the target's folder
    int m_existing = -1;  // the target opened for writing, when it exists
    mode_t m_mode = 0;    // the existing target's permission bits
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    int m_fd = -1;           // the file being written
    std::string m_tempName;  // its hidden name in the folder, once it has one
    bool m_named = false;    // it was made with a name (no unnamed files here)
    bool m_inPlace = false;
    std::string m_buffer;
    std::uint64_t m_written = 0;  // bytes handed to the system
    std::uint64_t m_started = 0;  // of those, bytes the disk was asked to take
};
