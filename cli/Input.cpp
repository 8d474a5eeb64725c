#include "Input.h"

#include <algorithm>
#include <cstring>
#include <istream>

#include "Output.h"
#include "Tr.h"

CLineReader::CLineReader(std::streambuf& in, std::size_t keep)
    : m_in(in), m_keep(keep), m_buffer(1 << 16) {}

bool CLineReader::Fill() {
    m_pos = 0;
    m_len = static_cast<std::size_t>(
        m_in.sgetn(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size())));
    return m_len > 0;
}

bool CLineReader::Next(Line& line) {
    line.text.clear();
    line.bytes = 0;
    line.end = End::kNone;
    line.cut = false;
    // One byte more than asked, for a CR that may turn out to be part of the line end.
    const std::size_t hold = m_keep == std::string::npos ? m_keep : m_keep + 1;
    char last = 0;
    bool any = false;
    for (;;) {
        if (m_pos == m_len && !Fill()) break;
        any = true;
        const char* start = m_buffer.data() + m_pos;
        const std::size_t avail = m_len - m_pos;
        const void* lf = std::memchr(start, '\n', avail);
        const std::size_t take =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : avail;
        if (line.text.size() < hold)
            line.text.append(start, std::min(take, hold - line.text.size()));
        if (take > 0) last = start[take - 1];
        line.bytes += take;
        m_pos += take;
        if (lf) {
            ++m_pos;
            line.end = End::kLf;
            break;
        }
    }
    if (!any) return false;
    if (line.end == End::kLf && line.bytes > 0 && last == '\r') {
        line.end = End::kCrLf;
        --line.bytes;
        if (line.text.size() > line.bytes) line.text.pop_back();
    }
    if (line.text.size() > m_keep) line.text.resize(m_keep);
    line.cut = line.bytes > line.text.size();
    ++m_number;
    return true;
}

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
