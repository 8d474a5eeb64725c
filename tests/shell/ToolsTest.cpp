// Options > Make Voc File and Options > Change Order, driven through the real menus, dialogs
// and message boxes, with the files in a temporary folder.

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <memory>

#include "MainFrm.h"
#include "ModalScript.h"
#include "Resource.h"
#include "TempDir.h"
#include "tavrin.h"

namespace {

QAction* OptionsItem(CMainFrame* frame, const QString& text) {
    for (QAction* menuAction : frame->menuBar()->actions()) {
        if (!menuAction->isVisible() || menuAction->text() != QStringLiteral("&Options")) continue;
        for (QAction* item : menuAction->menu()->actions()) {
            if (item->text() == text) return item;
        }
    }
    return nullptr;
}

const char kPortas[] =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n";

// Types one word into the builder's seven boxes.
void TypeWord(QWidget* dialog, const QStringList& texts) {
    for (int i = 0; i < texts.size(); ++i) {
        auto* box = Ctl<QLineEdit>(dialog, IDC_MAKE_TEXTFORM + i);
        box->setFocus();
        QTest::keyClicks(box, texts[i]);
    }
}

}  // namespace

class ToolsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings().clear();
        m_dir = std::make_unique<TempDir>();
        m_app = std::make_unique<CTavrinApp>();
        QVERIFY(m_app->InitInstance());
    }
    void cleanup() {
        m_app.reset();
        m_dir.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    void MakeVocFileWritesEachSubmittedWord() {
        const QString path = QString::fromStdString(m_dir->File("new.voc"));
        bool stillOpenAfterEnter = false;
        QStringList boxesAfterSubmit;
        ModalScript script;
        script.On("dialog138", [&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Create a Vocabulary file"));
            Ctl<QPushButton>(dialog, IDC_MAKE_CREATE)->click();  // runs the file dialog
            TypeWord(dialog, {"portas", "porto portare portavi portatum", "carry", "bring",
                              "bear", "", ""});
            // Enter in a box must not end the dialog and lose the word being typed.
            QTest::keyClick(Ctl<QLineEdit>(dialog, IDC_MAKE_DEF3), Qt::Key_Return);
            stillOpenAfterEnter = dialog->isVisible();
            Ctl<QPushButton>(dialog, IDC_MAKE_SUBMIT)->click();
            for (int id = IDC_MAKE_TEXTFORM; id <= IDC_MAKE_DEF5; ++id)
                boxesAfterSubmit << Ctl<QLineEdit>(dialog, id)->text();
            Ctl<QPushButton>(dialog, IDC_MAKE_FINISH)->click();
        });
        script.File(path);
        OptionsItem(m_app->GetMainWnd(), "&Make Voc File")->trigger();
        QVERIFY(script.Done());
        QVERIFY(stillOpenAfterEnter);
        QCOMPARE(boxesAfterSubmit, QStringList(7, QString()));
        QCOMPARE(ReadBytes(path.toStdString()), std::string(kPortas));
    }

    void MakeVocFileRefusesSubmitWithoutAFileAndEscKeepsWordsSubmitted() {
        const QString path = QString::fromStdString(m_dir->File("esc.voc"));
        SeenBox refusal;
        ModalScript script;
        script.On("dialog138", [&](QWidget* dialog) {
            TypeWord(dialog, {"amo", "amo amare amavi amatum", "love", "", "", "", ""});
            Ctl<QPushButton>(dialog, IDC_MAKE_SUBMIT)->click();  // refused: no file yet
            QCOMPARE(Ctl<QLineEdit>(dialog, IDC_MAKE_TEXTFORM)->text(), QStringLiteral("amo"));
            Ctl<QPushButton>(dialog, IDC_MAKE_CREATE)->click();
            Ctl<QPushButton>(dialog, IDC_MAKE_SUBMIT)->click();
            TypeWord(dialog, {"not", "written", "", "", "", "", ""});
            QTest::keyClick(Ctl<QLineEdit>(dialog, IDC_MAKE_DICTFORM), Qt::Key_Escape);
        });
        script.Box(&refusal).File(path);
        OptionsItem(m_app->GetMainWnd(), "&Make Voc File")->trigger();
        QVERIFY(script.Done());
        QCOMPARE(refusal.text, QStringLiteral("Open a .voc file first, Then sibmit a word"));
        QCOMPARE(refusal.title, QStringLiteral("Error"));
        QCOMPARE(refusal.buttons, (QStringList{"OK", "Cancel"}));
        QCOMPARE(ReadBytes(path.toStdString()),
                 std::string("amo amo amare amavi amatum\r\nlove\r\n\r\n\r\n\r\n\r\n"));
    }

    void MakeVocFileAsksBeforeItTouchesAFileWithWords_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");  // "add", "replace" or "unchanged"
        QTest::newRow("Add") << "Add" << "add";
        QTest::newRow("Enter presses Add") << "Enter" << "add";
        QTest::newRow("Replace") << "Replace" << "replace";
        QTest::newRow("Cancel") << "Cancel" << "unchanged";
        QTest::newRow("Esc") << "Esc" << "unchanged";
        QTest::newRow("close box") << "close" << "unchanged";
    }

    void MakeVocFileAsksBeforeItTouchesAFileWithWords() {
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        const bool opened = outcome != "unchanged";
        // Two words, the second cut short and without a line end.
        const std::string old = "amo amo amare\r\nlove\r\n\r\n\r\n\r\n\r\nrex regis\r\nking";
        const std::string path = m_dir->Write("lesson3.voc", old);
        QWidget* builder = nullptr;
        std::string bytesWhileAsked;
        SeenBox seen;
        QWidget* owner = nullptr;
        QString defaultButton, escapeButton;
        QStringList accessibleNames;
        ModalScript script;
        script.On("dialog138", [&](QWidget* dialog) {
            builder = dialog;
            Ctl<QPushButton>(dialog, IDC_MAKE_CREATE)->click();
            if (opened) {
                TypeWord(dialog, {"portas", "porto portare portavi portatum", "carry", "bring",
                                  "bear", "", ""});
                Ctl<QPushButton>(dialog, IDC_MAKE_SUBMIT)->click();
            }
            Ctl<QPushButton>(dialog, IDC_MAKE_FINISH)->click();
        });
        script.File(QString::fromStdString(path));
        script.On("messageBox", [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            bytesWhileAsked = ReadBytes(path);
            owner = box->parentWidget();
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.hasIcon = box->icon() != QMessageBox::NoIcon;
            for (QAbstractButton* b : box->buttons()) {
                seen.buttons << b->text();
                accessibleNames << b->accessibleName();
            }
            defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            escapeButton = box->escapeButton() ? box->escapeButton()->text() : QString();
            if (how == "Enter" || how == "Esc") {
                QTRY_VERIFY(box->isActiveWindow());
                QTest::keyClick(box, how == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            } else if (how == "close") {
                box->close();
            } else {
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text().remove(u'&') == how) b->click();
                }
            }
        });
        OptionsItem(m_app->GetMainWnd(), "&Make Voc File")->trigger();
        QVERIFY(script.Done());
        QCOMPARE(bytesWhileAsked, old);  // nothing touched before the answer
        QCOMPARE(owner, builder);
        QCOMPARE(seen.title, QStringLiteral("Make Voc File"));
        QCOMPARE(seen.text, QStringLiteral("lesson3.voc already holds 2 words.\nAdd the new words "
                                           "at its end, or replace it with an empty file?"));
        QVERIFY(!seen.hasIcon);
        QCOMPARE(seen.buttons, (QStringList{"&Add", "&Replace", "Cancel"}));
        QCOMPARE(accessibleNames, (QStringList{"Add", "Replace", "Cancel"}));
        QCOMPARE(defaultButton, QStringLiteral("&Add"));
        QCOMPARE(escapeButton, QStringLiteral("Cancel"));
        // Adding ends the cut-short word first, so that portas starts a word of its own.
        const std::string expected = outcome == "add"       ? old + "\r\n\r\n\r\n\r\n\r\n" + kPortas
                                     : outcome == "replace" ? std::string(kPortas)
                                                            : old;
        QCOMPARE(ReadBytes(path), expected);
    }

    void ChangeOrderRewritesTheChosenFileAndSaysSo() {
        std::string entries;
        for (char c : std::string("ABCDE")) entries += std::string(1, c) + " x\r\n\r\n\r\n\r\n\r\n\r\n";
        const std::string path = m_dir->Write("five.voc", entries);
        QString text, title;
        bool ownerless = false;
        ModalScript script;
        script.File(QString::fromStdString(path));
        script.On("messageBox", [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ownerless = box->parentWidget() == nullptr;
            text = box->text();
            title = box->windowTitle();
            box->buttons().first()->click();
        });
        OptionsItem(m_app->GetMainWnd(), "&Change Order")->trigger();
        QVERIFY(script.Done());
        QVERIFY(ownerless);
        QCOMPARE(text, QStringLiteral("The vocabulary order has been changed"));
        QCOMPARE(title, QStringLiteral("Order Changed"));
        std::string expected;
        for (char c : std::string("ECABD")) expected += std::string(1, c) + " x\r\n\r\n\r\n\r\n\r\n\r\n";
        QCOMPARE(ReadBytes(path), expected);
    }

    void ChangeOrderOfAMissingFileGivesTheReadingError() {
        SeenBox seen;
        ModalScript script;
        script.File(QString::fromStdString(m_dir->File("missing.voc"))).Box(&seen);
        OptionsItem(m_app->GetMainWnd(), "&Change Order")->trigger();
        QVERIFY(script.Done());
        QCOMPARE(seen.text, QStringLiteral("Error Opening file for reading, Code: 2"));
        QCOMPARE(seen.title, QStringLiteral("Error"));
        QCOMPARE(seen.buttons, QStringList{"OK"});
    }

private:
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<CTavrinApp> m_app;
};

QTEST_MAIN(ToolsTest)
#include "ToolsTest.moc"
