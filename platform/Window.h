// What the logic of a page or dialog needs of the window it lives in.
//
// Logic classes never see a widget: they address controls by their numeric id and reach the
// user only through this interface. The Qt program implements it over real widgets; the tests
// implement it with a fake that records every message box and control text. What the logic says
// to the user (a box, a question, a description) is a tr::Message, which the window shows in the
// user's language.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Tr.h"

// Message box types: OK alone, or OK and Cancel. Which button closed a box is never used.
constexpr int MB_OK = 0;
constexpr int MB_OKCANCEL = 1;

// The filter list and default extension of every vocabulary file choice.
inline constexpr const char* kVocFilter = "Vocabulary files (*.voc)|*.voc|All files (*.*)|*.*||";
inline constexpr const char* kVocExtension = "voc";

class IDialogWindow {
public:
    virtual ~IDialogWindow() = default;

    // Replaces the whole text of control `id`.
    virtual void SetDlgItemText(int id, const std::string& text) = 0;
    // The whole text of control `id`, as the user left it.
    virtual std::string GetDlgItemText(int id) const = 0;
    // Shows a modal message box owned by this window.
    virtual void MessageBox(const tr::Message& text, const std::string& caption, int type) = 0;
    // Asks a question in a modal box owned by this window, with one push button per entry of
    // `buttons` ("&" marks a mnemonic). The first button is the default; the last one is what
    // Esc and the close box press, so it must be the answer that changes nothing. Returns the
    // index of the button pressed. A window that cannot ask gives that last answer.
    virtual int AskChoice(const tr::Message& /*text*/, const std::string& /*caption*/,
                          const std::vector<std::string>& buttons) {
        return static_cast<int>(buttons.size()) - 1;
    }
    // Asks for a file with the standard open dialog: no initial name, no option flags, so the
    // file need not exist. Returns the full path, or nothing when the user cancels.
    virtual std::optional<std::string> ChooseFileToOpen(const std::string& defaultExt,
                                                        const std::string& filter) = 0;
    // Ends the modal run of the dialog (for a page: of its sheet) with `result`.
    virtual void EndDialog(int result) = 0;

    // Puts the keyboard focus on control `id`, its whole text selected as a Tab into it would.
    // Windows without a keyboard focus may ignore it.
    virtual void SetFocus(int /*id*/) {}
    // Sets what a screen reader says of control `id` beside its name (its accessible
    // description); empty says nothing more. Windows with no screen reader may ignore it.
    virtual void SetDescription(int /*id*/, const tr::Message& /*text*/) {}
};
