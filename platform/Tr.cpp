#include "Tr.h"

#include <libintl.h>
#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr const char* kDomain = "tavrin";

// The texts the logic makes from a format and values, as it makes them. A shown text is taken
// apart by these, so the logic keeps its bytes and its tests, and the front ends translate in
// one place. `plural` is set where the format holds a count; bit i of `nested` where the i-th
// value is another of the program's own texts rather than a name or a file's words.
struct KnownFormat {
    const char* format;
    const char* plural;
    unsigned nested;
};

constexpr KnownFormat kFormats[] = {
    {N_("Score = %.4g%%"), nullptr, 0},
    {N_("Error Opening file for reading, Code: %d"), nullptr, 0},
    {N_("Error reading file, Code: %d. The file was left unchanged."), nullptr, 0},
    {N_("Error opening file for writing. Code: %d"), nullptr, 0},
    {N_("Error writing the new order. Code: %d. The file was left unchanged."), nullptr, 0},
    {N_("Error writing file. Code: %d. The file may be incomplete."), nullptr, 0},
    {N_("Error opening file for wrinting. Code:%d"), nullptr, 0},
    {N_("Error writing file. Code:%d. %s"), nullptr, 0b10},
    {N_("Error closing file. Code:%d"), nullptr, 0},
    {NP_("%s already holds %lu word.", "%s already holds %lu words."), 0},
    {N_("%s is not empty, but it cannot be read to count its words."), nullptr, 0},
    {N_("The command could not be completed: %s"), nullptr, 0b1},
    {N_("Cannot open %s."), nullptr, 0},
    // What a screen reader says of a test page's boxes: the word asked, and the verdict with
    // the expected answer.
    {N_("Latin Word: %s"), nullptr, 0},
    {N_("English Word: %s"), nullptr, 0},
    {N_("%s. Answer: %s. %s"), nullptr, 0b101},
};

// Parts of texts that the logic keeps joined with others: the labels of the file filter.
[[maybe_unused]] constexpr const char* kPieces[] = {
    N_("Vocabulary files (*.voc)"),
    N_("All files (*.*)"),
};

constexpr std::size_t kMatchBudget = 256;

struct Conversion {
    std::size_t start, end;  // of the whole "%...x" in the format
    char type;               // 'd', 'u', 'g', 's'; '%' for a literal percent sign
    int position;            // "%2$s": 2; 0 where none is given
};

std::vector<Conversion> Conversions(std::string_view format) {
    std::vector<Conversion> out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        Conversion c{i, i + 1, 0, 0};
        std::size_t k = i + 1;
        std::size_t digits = k;
        while (digits < format.size() && format[digits] >= '0' && format[digits] <= '9') ++digits;
        if (digits > k && digits < format.size() && format[digits] == '$') {
            c.position = std::atoi(std::string(format.substr(k, digits - k)).c_str());
            k = digits + 1;
        }
        while (k < format.size() &&
               std::string_view("0123456789.-+ #l").find(format[k]) != std::string_view::npos)
            ++k;
        if (k >= format.size()) break;
        c.type = format[k] == 'i' ? 'd' : format[k];
        c.end = k + 1;
        out.push_back(c);
        i = k;
    }
    return out;
}

bool Takes(char type, char ch) {
    const bool digit = ch >= '0' && ch <= '9';
    switch (type) {
        case 'd':
            return digit || ch == '-';
        case 'u':
            return digit;
        case 'g':
            return digit || ch == '-' || ch == '.' || ch == 'e' || ch == '+' || ch == 'n' ||
                   ch == 'a' || ch == 'i' || ch == 'f';
        default:
            return true;
    }
}

// Matches `text` from `at` against the format's pieces from conversion `n` on, filling
// `values`. A "%s" is tried up to each place where the piece after it appears, nearest first.
// `budget` bounds the work whatever the text holds (a file's words may be long and repetitive):
// a text it runs out on is shown as it is.
bool Match(std::string_view format, const std::vector<Conversion>& conv, std::size_t n,
           std::size_t formatAt, std::string_view text, std::size_t at,
           std::vector<std::string_view>& values, std::size_t& budget) {
    if (budget == 0) return false;
    --budget;
    const std::size_t literalEnd = n < conv.size() ? conv[n].start : format.size();
    const std::string_view literal = format.substr(formatAt, literalEnd - formatAt);
    if (text.substr(at, literal.size()) != literal) return false;
    at += literal.size();
    if (n == conv.size()) return at == text.size();
    const Conversion& c = conv[n];
    if (c.type == '%') {
        if (at >= text.size() || text[at] != '%') return false;
        return Match(format, conv, n + 1, c.end, text, at + 1, values, budget);
    }
    if (c.type == 's') {
        const std::size_t nextEnd = n + 1 < conv.size() ? conv[n + 1].start : format.size();
        const std::string_view next = format.substr(c.end, nextEnd - c.end);
        if (next.empty() && n + 1 == conv.size()) {
            values.push_back(text.substr(at));  // the last value takes the rest
            return true;
        }
        for (std::size_t end = text.find(next, at); end != std::string_view::npos && budget > 0;
             end = text.find(next, end + 1)) {
            values.push_back(text.substr(at, end - at));
            if (Match(format, conv, n + 1, c.end, text, end, values, budget)) return true;
            values.pop_back();
        }
        return false;
    }
    // A number is never empty, and ends where its characters do.
    for (std::size_t end = at + 1; end <= text.size() && Takes(c.type, text[end - 1]); ++end) {
        values.push_back(text.substr(at, end - at));
        if (Match(format, conv, n + 1, c.end, text, end, values, budget)) return true;
        values.pop_back();
    }
    return false;
}

// `format` with its conversions replaced by `values`, in order or by their positions.
std::string Fill(std::string_view format, const std::vector<std::string>& values) {
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
        const std::size_t index = c.position > 0 ? std::size_t(c.position - 1) : next++;
        if (index < values.size()) out += values[index];
    }
    out.append(format.substr(from));
    return out;
}

std::string ShownAt(const std::string& text, int depth);

std::optional<std::string> FromKnownFormat(const std::string& text, int depth) {
    for (const KnownFormat& known : kFormats) {
        for (const char* english : {known.format, known.plural}) {
            if (!english) continue;
            const std::vector<Conversion> conv = Conversions(english);
            std::vector<std::string_view> found;
            std::size_t budget = kMatchBudget;
            if (!Match(english, conv, 0, 0, text, 0, found, budget)) continue;
            std::vector<std::string> values(found.begin(), found.end());
            std::size_t count = 0;
            std::size_t valueIndex = 0;
            for (const Conversion& c : conv) {
                if (c.type == '%') continue;
                if (c.type == 'u' && known.plural)
                    count = std::strtoul(values[valueIndex].c_str(), nullptr, 10);
                if (known.nested & (1u << valueIndex))
                    values[valueIndex] = ShownAt(values[valueIndex], depth + 1);
                ++valueIndex;
            }
            const char* translated = known.plural
                                         ? ::dngettext(kDomain, known.format, known.plural, count)
                                         : ::dgettext(kDomain, known.format);
            // Untranslated, the text stays exactly as the logic made it, even where its count
            // and its English form disagree.
            if (translated == known.format || translated == known.plural) return text;
            return Fill(translated, values);
        }
    }
    return std::nullopt;
}

std::string& BoundDir() {
    static std::string dir;
    return dir;
}

// `depth` counts the formats this text lies inside: ours nest one deep (a verdict holds the word
// asked), so a file's words that happen to look like a format never recurse further.
std::string ShownAt(const std::string& text, int depth) {
    if (text.empty() || depth > 1) return text;
    const char* whole = tr::Gettext(text.c_str());
    if (whole != text.c_str()) return whole;
    // Line by line: a name inside a format must not swallow the line after it.
    if (text.find('\n') != std::string::npos) {
        std::string shown;
        std::size_t from = 0;
        for (std::size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
            shown += ShownAt(text.substr(from, end - from), depth);
            shown += '\n';
        }
        shown += ShownAt(text.substr(from), depth);
        return shown;
    }
    if (auto formatted = FromKnownFormat(text, depth)) return *formatted;
    return text;
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
    return Fill(format, values);
}

std::string Plural(const char* singular, const char* plural, unsigned long count) {
    return Fill(::dngettext(kDomain, singular, plural, count), {std::to_string(count)});
}

std::string Plural(const char* singular, const char* plural, unsigned long count,
                   const std::vector<std::string>& values) {
    return Fill(::dngettext(kDomain, singular, plural, count), values);
}

std::string Shown(const std::string& text) { return ShownAt(text, 0); }

}  // namespace tr
