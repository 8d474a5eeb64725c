#include "Tr.h"

#include <libintl.h>
#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr const char* kDomain = "tavrin";

// Parts of texts that the logic keeps joined with others: the labels of the file filter.
[[maybe_unused]] constexpr const char* kPieces[] = {
    N_("Vocabulary files (*.voc)"),
    N_("All files (*.*)"),
};

struct Conversion {
    std::size_t start, end;  // of the whole "%...x" in the format
    char type;               // 'd', 'u', 'g', 's', ...; '%' for a literal percent sign
    std::size_t position;    // "%2$s": 2; 0 where none is given
    int precision;           // "%.4g": 4; -1 where none is given
};

// Reads the digits at `at`, moving past them. Large numbers stop growing rather than overflow:
// a format is a catalog's text, and a catalog is read from outside the program.
std::size_t ReadNumber(std::string_view text, std::size_t& at) {
    std::size_t n = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        n = std::min<std::size_t>(n * 10 + std::size_t(text[at] - '0'), 1u << 20);
    return n;
}

std::vector<Conversion> Conversions(std::string_view format) {
    std::vector<Conversion> out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        Conversion c{i, i + 1, 0, 0, -1};
        std::size_t k = i + 1;
        std::size_t digits = k;
        const std::size_t position = ReadNumber(format, digits);
        if (digits > k && digits < format.size() && format[digits] == '$') {
            c.position = position;
            k = digits + 1;
        }
        while (k < format.size() &&
               std::string_view("0123456789-+ #").find(format[k]) != std::string_view::npos)
            ++k;
        if (k < format.size() && format[k] == '.') {
            ++k;
            c.precision = int(ReadNumber(format, k));
        }
        while (k < format.size() &&
               std::string_view("hlLqjzt").find(format[k]) != std::string_view::npos)
            ++k;
        if (k >= format.size()) break;
        c.type = format[k] == 'i' ? 'd' : format[k];
        c.end = k + 1;
        out.push_back(c);
        i = k;
    }
    return out;
}

// `format` with its conversions replaced by `value(conversion, index)`, the values taken in
// order or by their positions.
template <class Render>
std::string Fill(std::string_view format, std::size_t count, const Render& value) {
    std::string out;
    std::size_t from = 0;
    std::size_t next = 0;
    for (const Conversion& c : Conversions(format)) {
        out.append(format.substr(from, c.start - from));
        from = c.end;
        if (c.type == '%') {
            out += '%';
            continue;
        }
        const std::size_t index = c.position > 0 ? c.position - 1 : next++;
        if (index < count) out += value(c, index);
    }
    out.append(format.substr(from));
    return out;
}

std::string FillStrings(std::string_view format, const std::vector<std::string>& values) {
    return Fill(format, values.size(),
                [&](const Conversion&, std::size_t i) -> const std::string& { return values[i]; });
}

// A number as printf writes it in the C locale, whatever locale the C library is in.
template <std::integral Number>
std::string Decimal(Number n) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n).ptr;
    return std::string(buffer, end);
}

std::string Real(double x, const Conversion& c) {
    // Beyond this many digits a double has nothing more to say; it keeps the text bounded.
    constexpr int kMostDigits = 64;
    const int precision = std::min(c.precision < 0 ? 6 : c.precision, kMostDigits);
    std::chars_format form = std::chars_format::general;
    if (c.type == 'f' || c.type == 'F') form = std::chars_format::fixed;
    if (c.type == 'e' || c.type == 'E') form = std::chars_format::scientific;
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, form, precision);
    if (result.ec != std::errc()) return std::string();
    return std::string(buffer, result.ptr);
}

// The catalog's entry for `text` as a whole, else for each of its lines, else `text`.
std::string ShownWhole(const std::string& text) {
    if (text.empty()) return text;
    const char* whole = tr::Gettext(text.c_str());
    if (whole != text.c_str()) return whole;
    if (text.find('\n') == std::string::npos) return text;
    std::string shown;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
        shown += ShownWhole(text.substr(from, end - from));
        shown += '\n';
    }
    shown += ShownWhole(text.substr(from));
    return shown;
}

std::string& BoundDir() {
    static std::string dir;
    return dir;
}

}  // namespace

namespace tr {

void Init() {
    if (!::setlocale(LC_ALL, "")) {
        // The locale the variables name is not installed (never generated on this system):
        // the C library then stays in C, and gettext translates nothing in C. Work in UTF-8
        // instead and name the language to gettext directly, so a German desktop still reads
        // German.
        const char* named = nullptr;
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value && *value) {
                named = value;
                break;
            }
        }
        const char* language = std::getenv("LANGUAGE");
        if (named && (!language || !*language)) {
            const std::string name(named, std::strcspn(named, ".@"));
            if (name != "C" && name != "POSIX") ::setenv("LANGUAGE", name.c_str(), 1);
        }
        ::setlocale(LC_ALL, "C.UTF-8");
    }
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto beside = exe.parent_path().parent_path() / "share" / "locale";
    if (!error && std::filesystem::is_directory(beside, error)) {
        BindDir(beside.string());
    } else {
        BindDir(TAVRIN_LOCALEDIR);
    }
    ::textdomain(kDomain);
}

void BindDir(const std::string& localeDir) {
    BoundDir() = localeDir;
    ::bindtextdomain(kDomain, localeDir.c_str());
    // Both front ends work in UTF-8, whatever the locale's own character set.
    ::bind_textdomain_codeset(kDomain, "UTF-8");
}

std::string LocaleDir() { return BoundDir(); }

const char* Gettext(const char* msgid) {
    // The empty key names the catalog's header, never a text of ours.
    if (!msgid || !*msgid) return msgid;
    return ::dgettext(kDomain, msgid);
}

std::string Format(const char* format, const std::vector<std::string>& values) {
    return FillStrings(format, values);
}

std::string Plural(const char* singular, const char* plural, unsigned long count) {
    return FillStrings(::dngettext(kDomain, singular, plural, count), {std::to_string(count)});
}

std::string Plural(const char* singular, const char* plural, unsigned long count,
                   const std::vector<std::string>& values) {
    return FillStrings(::dngettext(kDomain, singular, plural, count), values);
}

std::string Shown(const std::string& text) { return ShownWhole(text); }

Value::Value(Message nested)
    : m_kind(Kind::kNested), m_nested(std::make_shared<const Message>(std::move(nested))) {}

Message::Message(const char* format, std::vector<Value> values)
    : m_kind(Kind::kFormat), m_text(format), m_values(std::move(values)) {}

Message::Message(const char* singular, const char* plural, unsigned long count,
                 std::vector<Value> values)
    : m_kind(Kind::kFormat),
      m_text(singular),
      m_plural(plural),
      m_count(count),
      m_hasCount(true),
      m_values(std::move(values)) {}

Message Message::Lines(std::vector<Message> lines) {
    Message joined{std::string()};
    joined.m_kind = Kind::kLines;
    joined.m_lines = std::move(lines);
    return joined;
}

std::string Message::English() const { return Text(false); }

std::string Message::Shown() const { return Text(true); }

std::string Message::Text(bool shown) const {
    switch (m_kind) {
        case Kind::kWhole:
            return shown ? ShownWhole(m_text) : m_text;
        case Kind::kLines: {
            std::string text;
            for (const Message& line : m_lines) {
                if (&line != &m_lines.front()) text += '\n';
                text += line.Text(shown);
            }
            return text;
        }
        case Kind::kFormat:
            break;
    }
    const char* format = m_text.c_str();
    if (m_hasCount) {
        // In English, as ngettext gives it untranslated: the singular for one alone.
        format = shown ? ::dngettext(kDomain, m_text.c_str(), m_plural.c_str(), m_count)
                       : (m_count == 1 ? m_text.c_str() : m_plural.c_str());
    } else if (shown) {
        format = Gettext(format);
    }
    return Fill(format, m_values.size(), [&](const Conversion& c, std::size_t i) {
        const Value& v = m_values[i];
        switch (v.m_kind) {
            case Value::Kind::kText:
                return v.m_text;
            case Value::Kind::kSigned:
                return Decimal(v.m_signed);
            case Value::Kind::kUnsigned:
                return Decimal(v.m_unsigned);
            case Value::Kind::kReal:
                return Real(v.m_real, c);
            case Value::Kind::kNested:
                break;
        }
        return v.m_nested->Text(shown);
    });
}

}  // namespace tr
