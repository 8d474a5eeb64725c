#include "QtWindows.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringDecoder>
#include <algorithm>

#include "DialogHost.h"
#include "Resource.h"
#include "TemplateForm.h"
#include "Tr.h"

QString ToQString(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    // Old vocabulary files are often in a one-byte code page: show their letters, not U+FFFD.
    if (utf8.hasError()) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return text;
}

QString ShownText(const tr::Message& text) { return ToQString(text.Shown()); }

std::string FromQString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

QWidget* CreateTemplateForm(int templateId, QWidget* parent) {
    const DialogTemplate* templ = FindDialogTemplate(templateId);
    if (!templ) return nullptr;
    return new CTemplateForm(*templ, parent);
}

int RunModalDialog(CDialogLogic& logic, QWidget* owner) {
    const DialogTemplate* templ = FindDialogTemplate(logic.TemplateId());
    if (!templ) return -1;
    CTemplateDialog dialog(*templ, &logic, owner);
    return dialog.exec();
}

int RunModalDialog(int templateId, QWidget* owner) {
    const DialogTemplate* templ = FindDialogTemplate(templateId);
    if (!templ) return -1;
    CTemplateDialog dialog(*templ, nullptr, owner);
    return dialog.exec();
}

int RunPropertySheet(const std::string& caption, const std::vector<CDialogLogic*>& pages,
                     QWidget* owner) {
    CTestSheet sheet(ToQString(caption), pages, owner);
    return sheet.exec();
}

void NameOkCancel(QAbstractButton* ok, QAbstractButton* cancel) {
    // Qt's own English texts are these very words, so English stays as it was.
    if (ok) ok->setText(ShownText(N_("OK")));
    if (cancel) cancel->setText(ShownText(N_("Cancel")));
}

namespace {

// Every box of ours: no icon, and plain text, since file contents reach it and are never markup.
void SetUpBox(QMessageBox& box, const tr::Message& text, const std::string& caption) {
    box.setObjectName(QStringLiteral("messageBox"));
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(ShownText(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(ShownText(text));
}

}  // namespace

void ShowMessageBox(QWidget* owner, const tr::Message& text, const std::string& caption, int type) {
    QMessageBox box(owner);
    SetUpBox(box, text, caption);
    if (type == MB_OKCANCEL) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(QMessageBox::Ok);
    NameOkCancel(box.button(QMessageBox::Ok), box.button(QMessageBox::Cancel));
    box.exec();
}

int ShowChoiceBox(QWidget* owner, const tr::Message& text, const std::string& caption,
                  const std::vector<std::string>& buttons) {
    const int cancel = int(buttons.size()) - 1;
    if (buttons.empty()) return cancel;
    QMessageBox box(owner);
    SetUpBox(box, text, caption);
    std::vector<QPushButton*> pushes;
    for (const std::string& label : buttons) {
        // Qt lays out buttons by role; one role for all keeps them in the order given.
        QPushButton* push = box.addButton(ShownText(label), QMessageBox::ActionRole);
        push->setAccessibleName(StripMnemonic(push->text()));
        pushes.push_back(push);
    }
    box.setDefaultButton(pushes.front());
    box.setEscapeButton(pushes.back());
    box.exec();
    const auto pressed = std::find(pushes.begin(), pushes.end(), box.clickedButton());
    return pressed == pushes.end() ? cancel : int(pressed - pushes.begin());
}

namespace {

// The window role where there is no window: boxes and file dialogs with no owner.
class COwnerlessWindow : public IDialogWindow {
public:
    void SetDlgItemText(int, const std::string&) override {}
    std::string GetDlgItemText(int) const override { return std::string(); }
    void MessageBox(const tr::Message& text, const std::string& caption, int type) override {
        ShowMessageBox(nullptr, text, caption, type);
    }
    int AskChoice(const tr::Message& text, const std::string& caption,
                  const std::vector<std::string>& buttons) override {
        return ShowChoiceBox(nullptr, text, caption, buttons);
    }
    std::optional<std::string> ChooseFileToOpen(const std::string& defaultExt,
                                                const std::string& filter) override {
        return ::ChooseFileToOpen(nullptr, defaultExt, filter);
    }
    void EndDialog(int) override {}
};

}  // namespace

std::unique_ptr<IDialogWindow> MakeOwnerlessWindow() {
    return std::make_unique<COwnerlessWindow>();
}
