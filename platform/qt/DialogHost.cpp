#include "DialogHost.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

#include "QtWindows.h"
#include "Tr.h"

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

bool IsEnterKey(const QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    return enter && mods == Qt::NoModifier;
}

// Presses `button` if there is one that the user can see and use.
void PressDefault(QPushButton* button) {
    if (button && button->isVisible() && button->isEnabled()) button->click();
}

}  // namespace

CQtDialogWindow::CQtDialogWindow(CTemplateForm* form, QDialog* modal, CDialogLogic* logic)
    : m_form(form), m_modal(modal), m_logic(logic) {
    if (m_logic) m_logic->SetWindow(this);
    m_form->SetCommandHandler([this](int id) { OnCommand(id); });
}

CQtDialogWindow::~CQtDialogWindow() {
    // The logic outlives its window; it must not keep a pointer to one that is gone.
    if (m_logic && m_logic->GetWindow() == this) m_logic->SetWindow(nullptr);
}

void CQtDialogWindow::OnCommand(int id) {
    bool handled = false;
    // An exception must not cross Qt's event loop; the user learns of it and the dialog stays.
    try {
        handled = m_logic && m_logic->OnCommand(id);
    } catch (const std::exception& e) {
        // The cause is one of our own texts where the exception is ours (a file's failure).
        MessageBox({N_("The command could not be completed: %s"), {tr::Message(e.what())}},
                   N_("Error"), MB_OK);
        return;
    } catch (...) {
        MessageBox(N_("The command could not be completed."), N_("Error"), MB_OK);
        return;
    }
    if (!handled && (id == kIdOk || id == kIdCancel)) EndDialog(id);
}

void CQtDialogWindow::SetDlgItemText(int id, const std::string& text) { m_form->SetText(id, text); }

std::string CQtDialogWindow::GetDlgItemText(int id) const { return m_form->Text(id); }

void CQtDialogWindow::MessageBox(const tr::Message& text, const std::string& caption, int type) {
    ShowMessageBox(m_modal, text, caption, type);
}

int CQtDialogWindow::AskChoice(const tr::Message& text, const std::string& caption,
                               const std::vector<std::string>& buttons) {
    return ShowChoiceBox(m_modal, text, caption, buttons);
}

std::optional<std::string> CQtDialogWindow::ChooseFileToOpen(const std::string& defaultExt,
                                                             const std::string& filter) {
    return ::ChooseFileToOpen(m_modal, defaultExt, filter);
}

void CQtDialogWindow::EndDialog(int result) { m_modal->done(result); }

void CQtDialogWindow::SetFocus(int id) { m_form->FocusControl(id); }

void CQtDialogWindow::SetDescription(int id, const tr::Message& text) {
    m_form->SetDescription(id, text);
}

CTemplateDialog::CTemplateDialog(const DialogTemplate& templ, CDialogLogic* logic, QWidget* owner)
    : QDialog(owner), m_form(new CTemplateForm(templ, this)), m_window(m_form, this, logic) {
    setWindowTitle(ShownText(templ.caption));
    setObjectName(QStringLiteral("dialog%1").arg(templ.id));
    setFont(m_form->font());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_form);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CTemplateDialog::reject() { m_window.OnCommand(kIdCancel); }

void CTemplateDialog::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event)) {
        // Without a default button Enter does nothing: it must not end the dialog and lose what
        // is being typed.
        PressDefault(m_form->DefaultButton());
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

CTestSheet::CTestSheet(const QString& caption, const std::vector<CDialogLogic*>& pages,
                       QWidget* owner)
    : QDialog(owner), m_tabs(new QTabWidget(this)) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("testSheet"));
    m_tabs->setObjectName(QStringLiteral("pages"));
    for (CDialogLogic* page : pages) {
        const DialogTemplate* templ = FindDialogTemplate(page->TemplateId());
        if (!templ) continue;
        auto* form = new CTemplateForm(*templ, m_tabs);
        if (m_forms.empty()) setFont(form->font());
        m_forms.push_back(form);
        m_windows.push_back(std::make_unique<CQtDialogWindow>(form, this, page));
        m_tabs->addTab(form, ShownText(templ->caption));
    }
    m_tabs->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("sheetButtons"));
    NameOkCancel(buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel));
    for (QAbstractButton* b : buttons->buttons()) {
        auto* push = qobject_cast<QPushButton*>(b);
        push->setAutoDefault(false);
        push->setDefault(false);
        push->setAccessibleName(StripMnemonic(push->text()));
    }
    connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this,
            [this] { done(kIdOk); });
    connect(buttons->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this,
            [this] { done(kIdCancel); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { FollowCurrentPage(); });
    FollowCurrentPage();
}

CTestSheet::~CTestSheet() {
    // The windows go before the forms they point into.
    m_windows.clear();
}

void CTestSheet::reject() { done(kIdCancel); }

void CTestSheet::FollowCurrentPage() {
    // A dialog has one default button at a time: the one of the page in front, or none.
    const int index = m_tabs->currentIndex();
    QPushButton* current =
        index >= 0 && index < int(m_forms.size()) ? m_forms[index]->DefaultButton() : nullptr;
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b != current) b->setDefault(false);
    }
    if (current) current->setDefault(true);
}

void CTestSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The button box makes its OK the default when it is shown; take that back.
    FollowCurrentPage();
    // The sheet opens with the focus on the page, ready for its first button, not on the tabs.
    const int index = m_tabs->currentIndex();
    if (index >= 0 && index < int(m_forms.size())) {
        if (QWidget* first = m_forms[index]->FirstTabStop()) first->setFocus(Qt::TabFocusReason);
    }
}

void CTestSheet::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event)) {
        // Enter never closes the sheet: a test in progress is not lost by a key press.
        const int index = m_tabs->currentIndex();
        if (index >= 0 && index < int(m_forms.size()))
            PressDefault(m_forms[index]->DefaultButton());
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
