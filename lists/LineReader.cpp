#include "LineReader.h"

#include <algorithm>
#include <cstring>

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
