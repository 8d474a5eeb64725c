// The window roles in a terminal: a page or dialog talks to plain lines of text.
//
// A CTermWindow stands for one dialog template. It keeps every control's text as a window would
// and shows the user what a window shows, one plain line at a time, with no cursor movement or
// colour, so that the same session reads well on a screen, through a screen reader, over SSH and
// in a file:
//
// - Every text of the program's own is shown in the user's language (tr::Message::Shown); a
//   file's words as they are.
// - Static texts that a command sets are shown when the command is over (ShowChanges), in the
//   template's tab order, each on a line of its own: "Label: text" where the template gives
//   the control a label, the text alone otherwise. A text set twice in one command shows once.
// - A message box is one line, "Caption: text" (the text alone where it already begins with
//   its caption, as "Score = 50%" does). Its button is never asked for: the logic never looks.
// - Edit boxes are not shown: the user types into them (Type), which lowers the text where the
//   template's edit box lowers what is entered, as the window does.
// - The file dialog answers with the one file named on the command line, once; after that it
//   is cancelled.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "Window.h"

struct DialogTemplate;

class CTermWindow : public IDialogWindow {
public:
    // Throws std::invalid_argument for a template number that names no template.
    CTermWindow(int templateId, std::ostream& out, std::optional<std::string> file);

    void SetDlgItemText(int id, const std::string& text) override;
    std::string GetDlgItemText(int id) const override;
    void MessageBox(const tr::Message& text, const std::string& caption, int type) override;
    std::optional<std::string> ChooseFileToOpen(const std::string& defaultExt,
                                                const std::string& filter) override;
    void EndDialog(int result) override;

    // Puts what the user typed into edit box `id`, as the template's box would take it.
    void Type(int id, const std::string& typed);
    // Shows the static texts set since the last call.
    void ShowChanges();

    // The result given to EndDialog, once the logic has ended the dialog.
    std::optional<int> EndResult() const { return m_endResult; }

private:
    void ShowLine(const std::string& text);

    const DialogTemplate& m_template;
    std::ostream& m_out;
    std::optional<std::string> m_file;
    std::map<int, std::string> m_texts;
    std::set<int> m_changed;
    std::optional<int> m_endResult;
};
