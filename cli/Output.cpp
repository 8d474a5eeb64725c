#include "Output.h"

#include <sys/stat.h>

#include <cerrno>
#include <ostream>

#include "Tr.h"

std::string DescribeCause(int cause) {
    const std::vector<std::string> values{tr::Gettext(CFileException(cause, 0).what()),
                                          std::to_string(cause)};
    switch (cause) {
        case CFileException::fileNotFound:
        case CFileException::badPath:
            return tr::Format(_("%s (code %s); check the name"), values);
        case CFileException::accessDenied:
            return tr::Format(_("%s (code %s); check the permissions of the file and its folder"),
                              values);
        case CFileException::sharingViolation:
        case CFileException::lockViolation:
            return tr::Format(_("%s (code %s); close the window or program that has it open, then "
                                "try again"),
                              values);
        case CFileException::diskFull:
            return tr::Format(_("%s (code %s); free some space, then try again"), values);
        default:
            return tr::Format(_("%s (code %s)"), values);
    }
}

bool COutput::Open(const std::string& path, bool force) {
    m_path = path;
    m_force = force;
    if (path == "-") return true;
    struct stat st {};
    if (!force && ::lstat(path.c_str(), &st) == 0) {
        ReportFileProblem(m_io, path, _("already exists; add --force to replace it"));
        return false;
    }
    CFileException error;
    m_file.emplace();
    if (!m_file->Begin(path, &error)) {
        ReportFileProblem(m_io, path,
                          tr::Format(_("cannot be written: %s"), {DescribeCause(error.m_cause)}));
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
        ReportFileProblem(m_io, _("standard output"), _("could not be written"));
        return false;
    }
    try {
        m_file->Commit(m_force);
    } catch (const CFileException& e) {
        if (e.m_lOsError == EEXIST) {
            ReportFileProblem(m_io, m_path, _("already exists; add --force to replace it"));
        } else {
            ReportFileProblem(m_io, m_path,
                              tr::Format(_("could not be written: %s; nothing was changed"),
                                         {DescribeCause(e.m_cause)}));
        }
        return false;
    }
    return true;
}
