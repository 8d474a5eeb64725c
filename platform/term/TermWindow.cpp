#include "TermWindow.h"

#include <ostream>
#include <stdexcept>

#include "Lowercase.h"
#include "Resource.h"
#include "Tr.h"

namespace {

const DialogTemplate& TemplateOf(int templateId) {
    const DialogTemplate* t = FindDialogTemplate(templateId);
    if (!t) throw std::invalid_argument("no dialog template " + std::to_string(templateId));
    return *t;
}

}  // namespace

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
    m_texts[id] = c && (c->style & csLowercase) ? LowerAsTyped(typed) : typed;
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

void CTermWindow::MessageBox(const tr::Message& message, const std::string& englishCaption, int) {
    // What the command showed before its box came up is seen first, as in a window.
    ShowChanges();
    const std::string text = message.Shown();
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
