// Dialogs built from templates: geometry, names for screen readers, lower-case boxes, Enter and
// Esc, message boxes, the open-file dialog and handlers that throw.
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QLabel>
#include <QtTest>
#include <memory>
#include <stdexcept>

#include "ModalScript.h"
#include "QtWindows.h"
#include "Resource.h"
#include "TempDir.h"
#include "TemplateForm.h"

namespace {

// A logic for the builder's template that records the commands it sees and handles none, or
// throws for the buttons it is told to.
class CProbeLogic : public CDialogLogic {
public:
    CProbeLogic() : CDialogLogic(IDD_MAKEVOC) {}
    bool OnCommand(int id) override {
        commands.push_back(id);
        if (id == IDC_MAKE_SUBMIT) throw std::runtime_error("disk on fire");
        if (id == IDC_MAKE_FINISH) throw 42;
        if (id == IDC_MAKE_CREATE) {
            Wnd().EndDialog(32773);
            return true;
        }
        return false;
    }
    std::vector<int> commands;
};

const QString kBuilder = QStringLiteral("dialog138");
const QString kAbout = QStringLiteral("dialog100");

// The names the file dialog lists and lets the user pick, once its folder is loaded.
QStringList PickableNames(QFileDialog* dialog, const QStringList& names) {
    auto* model = dialog->findChild<QFileSystemModel*>();
    QStringList pickable;
    for (const QString& name : names) {
        const QModelIndex index = model->index(dialog->directory().filePath(name));
        if (index.isValid() && (model->flags(index) & Qt::ItemIsEnabled)) pickable << name;
    }
    return pickable;
}

std::unique_ptr<CTemplateForm> Form(int templateId) {
    return std::make_unique<CTemplateForm>(*FindDialogTemplate(templateId), nullptr);
}

}  // namespace

class TemplateDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!QApplication::activeModalWidget()); }

    // A text too long for its box shows that it goes on: an ellipsis where the box cuts it.
    void aTextTooLongForItsBoxEndsInAnEllipsis_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<int>("lines");  // lines shown cut; 0: shown whole, as QLabel shows it
        const QString word = QStringLiteral("carry ");
        QTest::newRow("fits on one line") << QStringLiteral("carry bring bear") << false << 0;
        QTest::newRow("one line too long") << word.repeated(40) << false << 1;
        QTest::newRow("one huge word") << QString(4096, u'x') << false << 1;
        QTest::newRow("wraps and fits") << word.repeated(8) << true << 0;
        QTest::newRow("wraps past the box") << word.repeated(200) << true << 2;
        QTest::newRow("huge word wrapped") << QString(4096, u'x') << true << 2;
    }
    void aTextTooLongForItsBoxEndsInAnEllipsis() {
        QFETCH(QString, text);
        QFETCH(bool, wrap);
        QFETCH(int, lines);
        const QFont font = QApplication::font();
        const QFontMetrics metrics(font);
        const QSize box(200, 2 * metrics.lineSpacing() + 2);
        const QStringList shown = CutToFit(text, font, box, wrap);
        QCOMPARE(shown.size(), lines);
        for (const QString& line : shown) QVERIFY(metrics.horizontalAdvance(line) <= box.width());
        if (lines > 0) QVERIFY(shown.back().endsWith(QChar(0x2026)));
        if (lines > 1) QVERIFY(text.startsWith(shown.front()));
    }

    void controlsStayInsideAndApartAsTheTemplateHasThem_data() {
        QTest::addColumn<int>("templateId");
        for (int id : {IDD_ABOUTBOX, IDD_TAVRIN_FORM, IDD_LATIN_PAGE, IDD_ENGLISH_PAGE,
                       IDD_WORD_PAGE, IDD_MAKEVOC}) {
            QTest::addRow("template %d", id) << id;
        }
    }

    void controlsStayInsideAndApartAsTheTemplateHasThem() {
        QFETCH(int, templateId);
        const DialogTemplate& templ = *FindDialogTemplate(templateId);
        auto form = Form(templateId);
        const QRect client(QPoint(0, 0), form->sizeHint());
        std::vector<QWidget*> widgets;
        for (QObject* child : form->children()) {
            if (auto* w = qobject_cast<QWidget*>(child)) widgets.push_back(w);
        }
        QCOMPARE(widgets.size(), templ.controls.size());
        for (std::size_t i = 0; i < widgets.size(); ++i) {
            const ControlTemplate& c = templ.controls[i];
            if (c.kind != ControlKind::Picture || c.cx != 0) {
                QVERIFY2(client.contains(widgets[i]->geometry()),
                         qPrintable(widgets[i]->objectName()));
            }
            const QRect units(c.x, c.y, c.cx, c.cy);
            for (std::size_t j = i + 1; j < widgets.size(); ++j) {
                const ControlTemplate& d = templ.controls[j];
                if (units.intersects(QRect(d.x, d.y, d.cx, d.cy)) || c.cx == 0 || d.cx == 0)
                    continue;
                QVERIFY2(!widgets[i]->geometry().intersects(widgets[j]->geometry()),
                         qPrintable(widgets[i]->objectName() + " / " + widgets[j]->objectName()));
            }
        }
    }

    void fontsStandInForTheTemplatesFonts() {
        const QFont dialog = TemplateFont(*FindDialogTemplate(IDD_LATIN_PAGE));
        QCOMPARE(dialog.family(), QApplication::font().family());
        QCOMPARE(dialog.pointSize(), 9);  // 8 in the template, but never below 9
        const QFont welcome = TemplateFont(*FindDialogTemplate(IDD_TAVRIN_FORM));
        QCOMPARE(welcome.pointSize(), 12);
        QVERIFY(welcome.bold());
        // The family may come back with its foundry: "URW Bookman [urw]".
        const bool bookmanInstalled =
            QFontDatabase::families().filter(QStringLiteral("URW Bookman")).size() > 0;
        if (bookmanInstalled)
            QVERIFY(QFontInfo(welcome).family().startsWith(QStringLiteral("URW Bookman")));
    }

    void pictureSizedZeroTakesItsBitmapsSize() {
        auto form = Form(IDD_ABOUTBOX);
        auto* picture = form->findChild<QLabel*>(QStringLiteral("label0"));
        QVERIFY(picture->pixmap().isNull() == QPixmap(":/bitmaps/136.png").isNull());
        if (picture->pixmap().isNull()) QSKIP("the pictures are not built in");
        QCOMPARE(picture->size(), QSize(88, 98));
        QVERIFY(QRect(QPoint(0, 0), form->sizeHint()).contains(picture->geometry()));
        QCOMPARE(picture->pos(), QPoint(form->Units().X(17), form->Units().Y(13)));
    }

    void textsFitTheirControls_data() { controlsStayInsideAndApartAsTheTemplateHasThem_data(); }

    void textsFitTheirControls() {
        QFETCH(int, templateId);
        auto form = Form(templateId);
        for (QLabel* label : form->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            const QFontMetrics metrics(label->font());
            const int needed =
                label->wordWrap() ? label->heightForWidth(label->width()) : metrics.height();
            QVERIFY2(needed <= label->height(), qPrintable(label->text()));
            if (!label->wordWrap()) {
                QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->text()));
            }
        }
        for (QPushButton* button : form->findChildren<QPushButton*>()) {
            const QFontMetrics metrics(button->font());
            const int needed = metrics.horizontalAdvance(StripMnemonic(button->text()));
            QVERIFY2(needed + 4 <= button->width(), qPrintable(button->text()));
            QVERIFY2(metrics.height() + 2 <= button->height(), qPrintable(button->text()));
        }
        for (QLineEdit* edit : form->findChildren<QLineEdit*>()) {
            QVERIFY2(edit->fontMetrics().height() + 4 <= edit->height(),
                     qPrintable(edit->objectName()));
        }
    }

    void everyControlHasANameForScreenReaders_data() {
        controlsStayInsideAndApartAsTheTemplateHasThem_data();
    }

    void everyControlHasANameForScreenReaders() {
        QFETCH(int, templateId);
        auto form = Form(templateId);
        for (QPushButton* b : form->findChildren<QPushButton*>()) {
            QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(b->objectName()));
            QVERIFY(!b->accessibleName().contains(u'&'));
        }
        for (QLineEdit* e : form->findChildren<QLineEdit*>())
            QVERIFY2(!e->accessibleName().isEmpty(), qPrintable(e->objectName()));
    }

    void namesComeFromTextsAndLabels_data() {
        QTest::addColumn<int>("templateId");
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("button without its mnemonic")
            << IDD_LATIN_PAGE << IDC_LATIN_BEGIN << "Begin Test"
            << "";
        QTest::newRow("answer box named by its label")
            << IDD_LATIN_PAGE << IDC_LATIN_ANSWER << "Enter the English word"
            << "";
        QTest::newRow("empty display named by its label")
            << IDD_LATIN_PAGE << IDC_LATIN_PROMPT << "Latin Word"
            << "Latin Word";
        QTest::newRow("Word Parts answer box")
            << IDD_WORD_PAGE << IDC_WORD_ANSWER << "Enter the base word here"
            << "";
        QTest::newRow("builder box with its label to the right")
            << IDD_MAKEVOC << IDC_MAKE_DEF4 << "Fourth Word"
            << "";
        QTest::newRow("builder button") << IDD_MAKEVOC << IDC_MAKE_FINISH << "FINISH"
                                        << "";
    }

    void namesComeFromTextsAndLabels() {
        QFETCH(int, templateId);
        QFETCH(int, control);
        QFETCH(QString, name);
        QFETCH(QString, description);
        auto form = Form(templateId);
        QCOMPARE(form->Control(control)->accessibleName(), name);
        QCOMPARE(form->Control(control)->accessibleDescription(), description);
    }

    void displayNameFollowsItsText() {
        auto form = Form(IDD_LATIN_PAGE);
        form->SetText(IDC_LATIN_PROMPT, "portas");
        QCOMPARE(form->Control(IDC_LATIN_PROMPT)->accessibleName(), QStringLiteral("portas"));
        QCOMPARE(form->Control(IDC_LATIN_PROMPT)->accessibleDescription(),
                 QStringLiteral("Latin Word"));
        form->SetText(IDC_LATIN_MARK, "Wrong Answer");
        QCOMPARE(form->Control(IDC_LATIN_MARK)->accessibleName(), QStringLiteral("Wrong Answer"));
    }

    void lowerCaseBoxesLowerEveryLetter_data() {
        QTest::addColumn<int>("templateId");
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("kept");
        const QString mixed = QStringLiteral("Ça VA Ωμέγα ЖУК");
        const QString lowered = QStringLiteral("ça va ωμέγα жук");
        for (const char* how : {"typed", "pasted", "set"}) {
            QTest::addRow("Latin answer, %s", how)
                << IDD_LATIN_PAGE << IDC_LATIN_ANSWER << how << mixed << lowered;
            QTest::addRow("English answer, %s", how)
                << IDD_ENGLISH_PAGE << IDC_ENGLISH_ANSWER << how << mixed << lowered;
            QTest::addRow("Word Parts answer keeps capitals, %s", how)
                << IDD_WORD_PAGE << IDC_WORD_ANSWER << how << mixed << mixed;
        }
    }

    void lowerCaseBoxesLowerEveryLetter() {
        QFETCH(int, templateId);
        QFETCH(int, control);
        QFETCH(QString, how);
        QFETCH(QString, entered);
        QFETCH(QString, kept);
        auto form = Form(templateId);
        auto* edit = qobject_cast<QLineEdit*>(form->Control(control));
        if (how == "typed") {
            for (QChar ch : entered)
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
        } else if (how == "pasted") {
            QApplication::clipboard()->setText(entered);
            edit->paste();
        } else {
            form->SetText(control, entered.toStdString());
        }
        QCOMPARE(edit->text(), kept);
        QCOMPARE(form->Text(control), kept.toStdString());
    }

    void bytesConvertAsUtf8ElseLatin1_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ASCII") << QByteArray("amo amare") << "amo amare";
        QTest::newRow("UTF-8") << QByteArray("c\xC3\xA6lum") << QStringLiteral("cælum");
        QTest::newRow("Latin-1") << QByteArray("c\xE6lum") << QStringLiteral("cælum");
        QTest::newRow("UTF-8 cut short is Latin-1") << QByteArray("\xC3") << QString(QChar(0xC3));
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void bytesConvertAsUtf8ElseLatin1() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const std::string raw = bytes.toStdString();
        QCOMPARE(ToQString(raw), shown);
        auto form = Form(IDD_LATIN_PAGE);
        form->SetText(IDC_LATIN_SHOWN, raw);
        QCOMPARE(qobject_cast<QLabel*>(form->Control(IDC_LATIN_SHOWN))->text(), shown);
        // Read back unchanged, a text gives back the very bytes it was set from.
        QCOMPARE(form->Text(IDC_LATIN_SHOWN), raw);
        QCOMPARE(FromQString(shown), shown.toUtf8().toStdString());
    }

    void messageBoxShowsItsTypesButtons_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("type 0: OK alone") << MB_OK << QStringList{"OK"};
        QTest::newRow("type 1: OK and Cancel") << MB_OKCANCEL << QStringList{"OK", "Cancel"};
    }

    void messageBoxShowsItsTypesButtons() {
        QFETCH(int, type);
        QFETCH(QStringList, buttons);
        ModalScript script;
        SeenBox seen;
        Qt::TextFormat format = Qt::AutoText;
        script.On(QStringLiteral("messageBox"),
                  [&](QWidget* w) { format = qobject_cast<QMessageBox*>(w)->textFormat(); });
        // The first step only looked; the box is still there for the next.
        script.Box(&seen);
        ShowMessageBox(nullptr, "<b>Score</b> = 50% & more", "Score", type);
        QVERIFY(script.Done());
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.title, QStringLiteral("Score"));
        QCOMPARE(seen.text, QStringLiteral("<b>Score</b> = 50% & more"));
        QCOMPARE(format, Qt::PlainText);
        QVERIFY(!seen.hasIcon);
    }

    void ownerlessWindowShowsBoxesWithNoOwner() {
        ModalScript script;
        std::optional<QWidget*> parent;
        script.On(QStringLiteral("messageBox"), [&](QWidget* w) {
            parent = w->parentWidget();
            qobject_cast<QMessageBox*>(w)->buttons().first()->click();
        });
        MakeOwnerlessWindow()->MessageBox("Reordered", "tavrin", MB_OK);
        QVERIFY(script.Done());
        QVERIFY(parent.has_value());
        QCOMPARE(*parent, nullptr);
    }

    void fileDialogOffersTheVocabularyFilters() {
        TempDir dir;
        dir.Write("words.voc", "");
        dir.Write("README", "");
        dir.Write("notes.txt", "");
        const QString before = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        const QStringList names{"words.voc", "README", "notes.txt"};

        ModalScript script;
        QStringList labels;
        QString folder, selected;
        QStringList vocOnly, all;
        script.On(QStringLiteral("openFileDialog"), [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < types->count(); ++i) labels << types->itemText(i);
            folder = dialog->directory().absolutePath();
            selected = types->currentText();
            // The folder loads in the background, on a thread that a loaded machine (a sanitizer
            // build, a parallel build) may starve for seconds: wait for the filter to settle,
            // and fail only if it never does.
            constexpr int kSettle = 30000;
            QTRY_COMPARE_WITH_TIMEOUT(PickableNames(dialog, names), QStringList({"words.voc"}),
                                      kSettle);
            vocOnly = PickableNames(dialog, names);
            dialog->selectNameFilter(dialog->nameFilters().at(1));
            QTRY_COMPARE_WITH_TIMEOUT(PickableNames(dialog, names).size(), names.size(), kSettle);
            all = PickableNames(dialog, names);
            dialog->reject();
        });
        script.File(QStringLiteral("newlist"));
        script.File(QStringLiteral("README"));
        script.File(QStringLiteral("notes.txt"));

        const auto cancelled = ChooseFileToOpen(nullptr, kVocExtension, kVocFilter);
        const auto typedBare = ChooseFileToOpen(nullptr, kVocExtension, kVocFilter);
        const auto existingBare = ChooseFileToOpen(nullptr, kVocExtension, kVocFilter);
        const auto withSuffix = ChooseFileToOpen(nullptr, kVocExtension, kVocFilter);
        QDir::setCurrent(before);

        QVERIFY(script.Done());
        QCOMPARE(labels, QStringList({"Vocabulary files (*.voc)", "All files (*.*)"}));
        QCOMPARE(selected, QStringLiteral("Vocabulary files (*.voc)"));
        QCOMPARE(QFileInfo(folder).canonicalFilePath(),
                 QFileInfo(QString::fromStdString(dir.path().string())).canonicalFilePath());
        QCOMPARE(vocOnly, QStringList({"words.voc"}));
        QCOMPARE(all, names);
        QVERIFY(!cancelled);
        QCOMPARE(typedBare.value_or(""), dir.File("newlist.voc"));
        QCOMPARE(existingBare.value_or(""), dir.File("README"));
        QCOMPARE(withSuffix.value_or(""), dir.File("notes.txt"));
    }

    void handlerExceptionsAreReportedAndTheDialogStays() {
        CProbeLogic logic;
        ModalScript script;
        SeenBox first, second;
        QWidget* boxOwner = nullptr;
        QWidget* dialog = nullptr;
        script.On(kBuilder, [&](QWidget* w) {
            dialog = w;
            QTest::mouseClick(Ctl(w, IDC_MAKE_SUBMIT), Qt::LeftButton);
        });
        script.On(QStringLiteral("messageBox"), [&](QWidget* w) {
            boxOwner = w->parentWidget();
            first.text = qobject_cast<QMessageBox*>(w)->text();
            first.title = w->windowTitle();
            qobject_cast<QMessageBox*>(w)->buttons().first()->click();
        });
        script.On(kBuilder, [&](QWidget* w) { Ctl<QPushButton>(w, IDC_MAKE_FINISH)->click(); });
        script.Box(&second);
        script.On(kBuilder, [&](QWidget* w) { Ctl<QPushButton>(w, IDC_MAKE_CREATE)->click(); });

        QCOMPARE(RunModalDialog(logic, nullptr), 32773);
        QVERIFY(script.Done());
        QCOMPARE(first.title, QStringLiteral("Error"));
        QVERIFY2(first.text.contains("disk on fire"), qPrintable(first.text));
        QCOMPARE(boxOwner, dialog);
        QCOMPARE(second.title, QStringLiteral("Error"));
        QCOMPARE(second.buttons, QStringList({"OK"}));
        QCOMPARE(logic.commands,
                 std::vector<int>({IDC_MAKE_SUBMIT, IDC_MAKE_FINISH, IDC_MAKE_CREATE}));
        QVERIFY(!logic.GetWindow());
    }

    void builderEndsOnlyByEscOrTheCloseBox_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("close box") << "close";
    }

    void builderEndsOnlyByEscOrTheCloseBox() {
        QFETCH(QString, how);
        CProbeLogic logic;
        ModalScript script;
        QString kept;
        bool openAfterEnter = false;
        script.On(kBuilder, [&](QWidget* w) {
            auto* box = Ctl<QLineEdit>(w, IDC_MAKE_TEXTFORM);
            QTRY_COMPARE(QApplication::focusWidget(), box);  // once the window is active
            QTest::keyClicks(box, QStringLiteral("Portas"));
            QTest::keyClick(box, Qt::Key_Return);
            QTest::keyClick(Ctl(w, IDC_MAKE_DEF1), Qt::Key_Enter, Qt::KeypadModifier);
            openAfterEnter = w->isVisible();
            kept = box->text();
            if (how == "Esc")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                w->close();
        });
        QCOMPARE(RunModalDialog(logic, nullptr), 2);
        QVERIFY(script.Done());
        QVERIFY(openAfterEnter);
        QCOMPARE(kept, QStringLiteral("Portas"));
        // Cancel went to the logic first, which left it to the dialog.
        QCOMPARE(logic.commands, std::vector<int>({IDCANCEL}));
    }

    void aboutBoxClosesWithItsButtonOrKeys_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "click" << 1;
        QTest::newRow("Enter presses the default OK") << "Enter" << 1;
        QTest::newRow("Esc") << "Esc" << 2;
    }

    void aboutBoxClosesWithItsButtonOrKeys() {
        QFETCH(QString, how);
        QFETCH(int, result);
        ModalScript script;
        QString title;
        script.On(kAbout, [&](QWidget* w) {
            title = w->windowTitle();
            if (how == "click")
                QTest::mouseClick(Ctl(w, IDOK), Qt::LeftButton);
            else
                QTest::keyClick(w, how == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
        });
        QCOMPARE(RunModalDialog(IDD_ABOUTBOX, nullptr), result);
        QVERIFY(script.Done());
        QCOMPARE(title, QStringLiteral("About tavrin"));
    }
};

QTEST_MAIN(TemplateDialogsTest)
#include "TemplateDialogsTest.moc"
