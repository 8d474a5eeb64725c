// The Qt windows that host template forms: a modal dialog and the test sheet, and the window
// role that logic classes talk to.
#pragma once

#include <QDialog>
#include <vector>

#include "DialogLogic.h"
#include "TemplateForm.h"
#include "Window.h"

class QTabWidget;

// The window role over one template form inside a modal dialog (for a page: inside the sheet).
// Every button click is routed here, to the logic's command table.
class CQtDialogWindow : public IDialogWindow {
public:
    CQtDialogWindow(CTemplateForm* form, QDialog* modal, CDialogLogic* logic);
    ~CQtDialogWindow() override;
    CQtDialogWindow(const CQtDialogWindow&) = delete;
    CQtDialogWindow& operator=(const CQtDialogWindow&) = delete;

    // Runs the command of control `id`. No exception leaves this call: anything a handler
    // throws is reported in a message box. Buttons 1 and 2 that the logic leaves alone end the
    // modal run with their own number.
    void OnCommand(int id);

    void SetDlgItemText(int id, const std::string& text) override;
    std::string GetDlgItemText(int id) const override;
    void MessageBox(const tr::Message& text, const std::string& caption, int type) override;
    int AskChoice(const tr::Message& text, const std::string& caption,
                  const std::vector<std::string>& buttons) override;
    std::optional<std::string> ChooseFileToOpen(const std::string& defaultExt,
                                                const std::string& filter) override;
    void EndDialog(int result) override;
    void SetFocus(int id) override;
    void SetDescription(int id, const tr::Message& text) override;

private:
    CTemplateForm* m_form;
    QDialog* m_modal;
    CDialogLogic* m_logic;
};

// A modal dialog around one template form. Enter presses the template's default button and
// nothing else; Esc and the close box send Cancel (2).
class CTemplateDialog : public QDialog {
public:
    CTemplateDialog(const DialogTemplate& templ, CDialogLogic* logic, QWidget* owner);

    CTemplateForm* Form() const { return m_form; }
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CTemplateForm* m_form;
    CQtDialogWindow m_window;
};

// The test sheet: one tab per page and the sheet's own OK and Cancel, neither of them a
// default button. Enter presses the default button of the page in front, if it has one.
class CTestSheet : public QDialog {
public:
    CTestSheet(const QString& caption, const std::vector<CDialogLogic*>& pages, QWidget* owner);
    ~CTestSheet() override;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FollowCurrentPage();

    QTabWidget* m_tabs;
    std::vector<CTemplateForm*> m_forms;
    std::vector<std::unique_ptr<CQtDialogWindow>> m_windows;
};
