// Drives modal windows from inside their own event loops.
//
// A test queues steps before it calls exec(); each step waits until the active modal window is
// the one it expects, then acts on it (types, clicks, records a message box, closes). Steps run
// in order and may open further modal windows: a step is taken off the queue before it runs,
// so the nested event loop it starts carries on with the next one.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>
#include <string>

struct SeenBox {
    QString text;
    QString title;
    QStringList buttons;
    bool hasIcon = false;
};

class ModalScript {
public:
    ModalScript() {
        Schedule();
        // A step that fails leaves its window open; close every modal window after a while so
        // that the test reports the failure instead of hanging. Long enough for a step that
        // waits on Qt's background work on a loaded machine.
        QTimer::singleShot(60000, &m_context, [this] { CloseAll(); });
    }

    // Acts on the modal window whose object name is `name` once it is in front.
    ModalScript& On(const QString& name, std::function<void(QWidget*)> act) {
        m_steps.push_back(
            {[name](QWidget* w) { return w && w->objectName() == name; }, std::move(act)});
        return *this;
    }

    // Records the message box in front and closes it with its first button.
    ModalScript& Box(SeenBox* seen = nullptr) {
        m_steps.push_back({[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                           [seen](QWidget* w) {
                               auto* box = qobject_cast<QMessageBox*>(w);
                               if (seen) {
                                   seen->text = box->text();
                                   seen->title = box->windowTitle();
                                   seen->hasIcon = box->icon() != QMessageBox::NoIcon;
                                   seen->buttons.clear();
                                   for (QAbstractButton* b : box->buttons())
                                       seen->buttons << b->text().remove(u'&');
                               }
                               box->buttons().first()->click();
                           }});
        return *this;
    }

    // Enters `path` as the file name in the open-file dialog in front and presses Open; an empty
    // path cancels.
    ModalScript& File(const QString& path) {
        return On(QStringLiteral("openFileDialog"), [path](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (path.isEmpty()) return dialog->reject();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            // Name and Open in one go: the folder loads in the background, and a busy machine
            // could otherwise let the dialog's completer or its pick from the list rewrite the
            // name between two key presses.
            name->setText(path);
            buttons->button(QDialogButtonBox::Open)->click();
        });
    }

    // Acts on the test sheet in front.
    ModalScript& Sheet(std::function<void(QWidget*)> act) {
        return On(QStringLiteral("testSheet"), std::move(act));
    }

    // Every step ran, and none was still waiting when the watchdog closed the windows.
    bool Done() const { return m_steps.empty() && m_running == 0 && !m_timedOut; }
    int Left() const { return int(m_steps.size()); }

private:
    struct Step {
        std::function<bool(QWidget*)> ready;
        std::function<void(QWidget*)> act;
    };

    // A timer never fires inside its own handler, so each tick is a fresh one-shot timer: the
    // next can fire in a modal loop that this one's step has started.
    void Schedule() {
        QTimer::singleShot(5, &m_context, [this] { Tick(); });
    }

    void CloseAll() {
        if (!m_steps.empty()) m_timedOut = true;
        m_steps.clear();
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->close();
        }
        QTimer::singleShot(20, &m_context, [this] { CloseAll(); });
    }

    void Tick() {
        Schedule();
        if (m_steps.empty()) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !m_steps.front().ready(modal)) return;
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        ++m_running;
        step.act(modal);
        --m_running;
    }

    QObject m_context;
    std::deque<Step> m_steps;
    int m_running = 0;
    bool m_timedOut = false;
};

// The widget of control `id` inside `root`.
template <class W = QWidget>
W* Ctl(QWidget* root, int id) {
    W* w = root->findChild<W*>(QStringLiteral("ctl%1").arg(id));
    if (!w) qWarning("no control %d", id);
    return w;
}
