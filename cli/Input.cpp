#include "Input.h"

#include <algorithm>
#include <cstring>
#include <istream>

#include "Output.h"
#include "Tr.h"

CTextFileBuf::int_type CTextFileBuf::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::size_t n = m_file.Read(m_buffer.data(), m_buffer.size());
    if (n == 0) return traits_type::eof();
    setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + n);
    return traits_type::to_int_type(*gptr());
}

std::streamsize CTextFileBuf::xsgetn(char* s, std::streamsize n) {
    std::streamsize got = std::min<std::streamsize>(n, egptr() - gptr());
    if (got > 0) {
        std::memcpy(s, gptr(), static_cast<std::size_t>(got));
        gbump(static_cast<int>(got));
    }
    while (got < n) {
        const std::size_t read = m_file.Read(s + got, static_cast<std::size_t>(n - got));
        if (read == 0) break;
        got += static_cast<std::streamsize>(read);
    }
    return got;
}

bool CInput::Open(const std::string& path, CliStreams& io) {
    if (path == "-") {
        m_name = "<stdin>";
        m_buf = io.in.rdbuf();
        return m_buf != nullptr;
    }
    m_name = path;
    CFileException error(CFileException::none, -1);
    if (!m_file.Open(path, CTextFile::modeRead, &error)) {
        ReportFileProblem(
            io, path,
            tr::Format(_("cannot be opened for reading: %s"), {DescribeCause(error.m_cause)}));
        return false;
    }
    m_fileBuf = std::make_unique<CTextFileBuf>(m_file);
    m_buf = m_fileBuf.get();
    return true;
}

std::string DescribeReadFailure(const CFileException& e) {
    return tr::Format(_("cannot be read: %s"), {DescribeCause(e.m_cause)});
}
