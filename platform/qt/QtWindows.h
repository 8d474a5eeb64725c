// The window roles on Qt: dialogs, the test sheet, forms, message boxes and file choices built
// from the templates in res/. This is everything the shell needs of Qt-side window code; no
// logic class ever includes it.
#pragma once

#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DialogLogic.h"
#include "Tr.h"
#include "Window.h"

class QAbstractButton;
class QString;
class QWidget;

// Builds the controls of template `templateId` into a new widget with `parent`, sized to the
// template. Used for forms that have no logic of their own (the welcome view).
QWidget* CreateTemplateForm(int templateId, QWidget* parent);

// Runs a modal dialog built from `logic`'s template, routing its buttons to `logic`. Buttons 1
// (OK) and 2 (Cancel) that the logic does not handle end the dialog with their own number; Esc
// and the close box end it with 2. Returns the result the dialog ended with.
int RunModalDialog(CDialogLogic& logic, QWidget* owner);

// Runs a modal dialog for a template that has no logic (the About box).
int RunModalDialog(int templateId, QWidget* owner);

// Runs the modal test sheet: one tab per page, in order, titled with each page's template
// caption; the first page in front; OK and Cancel close it. A page ends it through EndDialog.
int RunPropertySheet(const std::string& caption, const std::vector<CDialogLogic*>& pages,
                     QWidget* owner);

// Shows a modal message box; `owner` may be null for a box with no owner window.
void ShowMessageBox(QWidget* owner, const tr::Message& text, const std::string& caption, int type);

// Asks a question with one push button per entry of `buttons`; see IDialogWindow::AskChoice.
// `owner` may be null for a box with no owner window.
int ShowChoiceBox(QWidget* owner, const tr::Message& text, const std::string& caption,
                  const std::vector<std::string>& buttons);

// The standard open-file dialog for vocabulary files; see IDialogWindow::ChooseFileToOpen.
std::optional<std::string> ChooseFileToOpen(QWidget* owner, const std::string& defaultExt,
                                            const std::string& filter);

// A window role with no window behind it: message boxes and file dialogs with no owner.
std::unique_ptr<IDialogWindow> MakeOwnerlessWindow();

// Converts between the files' bytes and Qt text: UTF-8, and a byte sequence that is not UTF-8
// is taken as Latin-1 rather than replaced.
QString ToQString(const std::string& bytes);

// A text of the program's own (a template's, a menu's, a message box's) as the user's language
// shows it: the one place where the windows translate. Never for a file's contents.
QString ShownText(const tr::Message& text);
std::string FromQString(const QString& text);

// The Qt name filters for a filter list "label|patterns|label|patterns||": each label shown as
// given, "*.*" taken as every file.
QStringList QtNameFilters(const std::string& filter);

// Gives Qt's own OK and Cancel buttons (either may be null) the texts of our catalog, so that
// they speak the language of the box around them whether or not Qt's translations are installed.
void NameOkCancel(QAbstractButton* ok, QAbstractButton* cancel);
