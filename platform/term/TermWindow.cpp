#include "TermWindow.h"

#include <locale.h>
#include <wctype.h>

#include <ostream>
#include <stdexcept>

#include "Resource.h"
#include "Tr.h"

namespace {

const DialogTemplate& TemplateOf(int templateId) {
    const DialogTemplate* t = FindDialogTemplate(templateId);
    if (!t) throw std::invalid_argument("no dialog template " + std::to_string(templateId));
    return *t;
}

// The code point that starts at `text[i]` and its length in bytes; length 0 for a byte that
// does not start well-formed UTF-8.
std::pair<char32_t, std::size_t> DecodeAt(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return {lead, 1};
    std::size_t length;
    char32_t cp;
    char32_t least;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return {0, 0};
    }
    if (i + length > text.size()) return {0, 0};
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return {0, 0};
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0, 0};
    return {cp, length};
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The Unicode case table, whatever locale the user runs in: an answer must be lowered the same
// way under LANG=C as in a UTF-8 session.
locale_t UnicodeLocale() {
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

}  // namespace

std::string LowerUtf8(const std::string& text) {
    const locale_t locale = UnicodeLocale();
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto [cp, length] = DecodeAt(text, i);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        char32_t lower = cp;
        if (cp < 0x80) {
            if (cp >= 'A' && cp <= 'Z') lower = cp - 'A' + 'a';
        } else if (locale) {
            lower = static_cast<char32_t>(::towlower_l(static_cast<wint_t>(cp), locale));
        }
        AppendUtf8(out, lower);
        i += length;
    }
    return out;
}

CTermWindow::CTermWindow(int templateId, std::ostream& out, std::optional<std::string> file)
    : m_template(TemplateOf(templateId)), m_out(out), m_file(std::move(file)) {
    for (const auto& c : m_template.controls) {
        if (c.id != IDC_STATIC) m_texts[c.id] = c.text;
    }
}

void CTermWindow::SetDlgItemText(int id, const std::string& text) {
    m_texts[id] = text;
    const ControlTemplate* c = m_template.Find(id);
    if (c && c->kind == ControlKind::Static) m_changed.insert(id);
}

std::string CTermWindow::GetDlgItemText(int id) const {
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? std::string() : it->second;
}

void CTermWindow::Type(int id, const std::string& typed) {
    const ControlTemplate* c = m_template.Find(id);
    m_texts[id] = c && (c->style & csLowercase) ? LowerUtf8(typed) : typed;
}

void CTermWindow::ShowChanges() {
    for (const auto& c : m_template.controls) {
        if (c.id == IDC_STATIC || !m_changed.count(c.id)) continue;
        std::string label;
        for (const auto& l : m_template.controls) {
            if (l.labelFor == c.id && l.kind == ControlKind::Static) label = tr::Shown(l.text);
        }
        // The program's own words are translated; a file's words are shown as they are.
        const std::string text = c.style & csOwnWords ? tr::Shown(m_texts[c.id]) : m_texts[c.id];
        ShowLine(label.empty() ? text : label + ": " + text);
    }
    m_changed.clear();
}

void CTermWindow::MessageBox(const std::string& englishText, const std::string& englishCaption,
                             int) {
    // What the command showed before its box came up is seen first, as in a window.
    ShowChanges();
    const std::string text = tr::Shown(englishText);
    const std::string caption = tr::Shown(englishCaption);
    ShowLine(text.compare(0, caption.size(), caption) == 0 ? text : caption + ": " + text);
}

std::optional<std::string> CTermWindow::ChooseFileToOpen(const std::string&, const std::string&) {
    std::optional<std::string> file;
    file.swap(m_file);
    return file;
}

void CTermWindow::EndDialog(int result) { m_endResult = result; }

void CTermWindow::ShowLine(const std::string& text) { m_out << text << '\n'; }
