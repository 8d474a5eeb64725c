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
    if (path == "-") {
        if (!m_stdout) {
            m_stdout.emplace(m_io.out.rdbuf());
            m_stdoutBuf = m_io.out.rdbuf(&*m_stdout);
        }
        return true;
    }
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

CErrnoKeepingBuf::int_type CErrnoKeepingBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    errno = 0;
    if (traits_type::eq_int_type(m_to->sputc(traits_type::to_char_type(c)), traits_type::eof())) {
        Keep(errno);
        return traits_type::eof();
    }
    return c;
}

std::streamsize CErrnoKeepingBuf::xsputn(const char* s, std::streamsize n) {
    errno = 0;
    const std::streamsize put = m_to->sputn(s, n);
    if (put != n) Keep(errno);
    return put;
}

int CErrnoKeepingBuf::sync() {
    errno = 0;
    if (m_to->pubsync() == 0) return 0;
    Keep(errno);
    return -1;
}

COutput::~COutput() {
    if (!m_stdout) return;
    // Setting the buffer clears the stream's state, which must still tell of a failure.
    const std::ios_base::iostate state = m_io.out.rdstate();
    m_io.out.rdbuf(m_stdoutBuf);
    m_io.out.setstate(state);
}

void COutput::Write(std::string_view bytes) {
    if (!m_file) {
        m_io.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!m_io.out) {
            const int err = m_stdout && m_stdout->Errno() != 0 ? m_stdout->Errno() : EIO;
            throw CFileException(CFileException::CauseFromErrno(err), err);
        }
        return;
    }
    m_file->Write(bytes);
}

bool COutput::Commit() {
    if (!m_file) {
        m_io.out.flush();
        if (m_io.out) return true;
        const int err = m_stdout && m_stdout->Errno() != 0 ? m_stdout->Errno() : EIO;
        if (err == EIO) {
            ReportFileProblem(m_io, _("standard output"), _("could not be written"));
        } else {
            ReportFileProblem(m_io, _("standard output"),
                              tr::Format(_("cannot be written: %s"),
                                         {DescribeCause(CFileException::CauseFromErrno(err))}));
        }
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
