#include "Output.h"

#include <sys/stat.h>

#include <cerrno>
#include <ostream>

std::string DescribeCause(int cause) {
    std::string text =
        CFileException(cause, 0).what() + std::string(" (code ") + std::to_string(cause) + ")";
    switch (cause) {
        case CFileException::fileNotFound:
        case CFileException::badPath:
            return text + "; check the name";
        case CFileException::accessDenied:
            return text + "; check the permissions of the file and its folder";
        case CFileException::sharingViolation:
        case CFileException::lockViolation:
            return text + "; close the window or program that has it open, then try again";
        case CFileException::diskFull:
            return text + "; free some space, then try again";
        default:
            return text;
    }
}

bool COutput::Open(const std::string& path, bool force) {
    m_path = path;
    m_force = force;
    if (path == "-") return true;
    struct stat st {};
    if (!force && ::lstat(path.c_str(), &st) == 0) {
        ReportFileProblem(m_io, path, "already exists; add --force to replace it");
        return false;
    }
    CFileException error;
    m_file.emplace();
    if (!m_file->Begin(path, &error)) {
        ReportFileProblem(m_io, path, "cannot be written: " + DescribeCause(error.m_cause));
        m_file.reset();
        return false;
    }
    return true;
}

void COutput::Write(std::string_view bytes) {
    if (!m_file) {
        m_io.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!m_io.out) throw CFileException(CFileException::hardIO, EIO);
        return;
    }
    m_file->Write(bytes);
}

bool COutput::Commit() {
    if (!m_file) {
        m_io.out.flush();
        if (m_io.out) return true;
        ReportFileProblem(m_io, "standard output", "could not be written");
        return false;
    }
    try {
        m_file->Commit(m_force);
    } catch (const CFileException& e) {
        if (e.m_lOsError == EEXIST) {
            ReportFileProblem(m_io, m_path, "already exists; add --force to replace it");
        } else {
            ReportFileProblem(
                m_io, m_path,
                "could not be written: " + DescribeCause(e.m_cause) + "; nothing was changed");
        }
        return false;
    }
    return true;
}
