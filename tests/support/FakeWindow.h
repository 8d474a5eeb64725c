// A window for logic tests: it starts with the template's control texts, records every text
// set, every message box and every question shown, and answers file dialogs and questions
// from a script.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Resource.h"
#include "Window.h"

struct RecordedBox {
    std::string text;
    std::string caption;
    int type;
    bool operator==(const RecordedBox&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const RecordedBox& b) {
    return os << '"' << b.text << "\" caption \"" << b.caption << "\" type " << b.type;
}

struct RecordedQuestion {
    std::string text;
    std::string caption;
    std::vector<std::string> buttons;
};

class CFakeWindow : public IDialogWindow {
public:
    explicit CFakeWindow(int templateId) {
        if (const DialogTemplate* t = FindDialogTemplate(templateId)) {
            for (const auto& c : t->controls) {
                if (c.id != IDC_STATIC) texts[c.id] = c.text;
            }
        }
    }

    void SetDlgItemText(int id, const std::string& text) override { texts[id] = text; }
    std::string GetDlgItemText(int id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    // Texts are recorded in English, as the logic's tests read them.
    void MessageBox(const tr::Message& text, const std::string& caption, int type) override {
        boxes.push_back({text.English(), caption, type});
    }
    // Gives the next scripted answer; with none left, the last button, as Esc would.
    int AskChoice(const tr::Message& text, const std::string& caption,
                  const std::vector<std::string>& buttons) override {
        questions.push_back({text.English(), caption, buttons});
        if (answers.empty()) return static_cast<int>(buttons.size()) - 1;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> ChooseFileToOpen(const std::string& defaultExt,
                                                const std::string& filter) override {
        lastDefaultExt = defaultExt;
        lastFilter = filter;
        ++fileDialogs;
        if (choices.empty()) return std::nullopt;
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }
    void EndDialog(int result) override { endResult = result; }
    void SetFocus(int id) override { focus = id; }
    void SetDescription(int id, const tr::Message& text) override {
        descriptions[id] = text.English();
    }

    // The last box shown, or an empty record.
    RecordedBox LastBox() const { return boxes.empty() ? RecordedBox{"", "", -1} : boxes.back(); }

    std::map<int, std::string> texts;
    std::vector<RecordedBox> boxes;
    std::deque<std::optional<std::string>> choices;  // answers of the next file dialogs
    std::vector<RecordedQuestion> questions;
    std::deque<int> answers;  // buttons pressed in the next questions
    int fileDialogs = 0;
    std::string lastDefaultExt, lastFilter;
    std::optional<int> endResult;
    std::optional<int> focus;  // the control last given the focus
    std::map<int, std::string> descriptions;
};
