// The test sheet through its real widgets: tabs, whole quizzes on each page with a real
// vocabulary file, Enter, Cancel and a file shared between pages.
#include <QAccessible>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "EnglishPage.h"
#include "LatinPage.h"
#include "ModalScript.h"
#include "QtWindows.h"
#include "Resource.h"
#include "TempDir.h"
#include "TextFile.h"
#include "WordPage.h"

namespace {

const char kVoc[] =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n"
    "amat amo amare amavi amatum\r\nlove\r\nlike\r\n\r\n\r\n\r\n";

// Three fresh pages, as Begin Test makes them.
struct Pages {
    CLatinPage latin;
    CEnglishPage english;
    CWordPage word;
    std::vector<CDialogLogic*> All() { return {&latin, &english, &word}; }
    const TestPageControls& Ids(int index) {
        CTestPage* pages[] = {&latin, &english, &word};
        return pages[index]->Controls();
    }
};

QTabWidget* Tabs(QWidget* sheet) { return sheet->findChild<QTabWidget*>(QStringLiteral("pages")); }

QWidget* Page(QWidget* sheet, int index) { return Tabs(sheet)->widget(index); }

QPushButton* SheetButton(QWidget* sheet, QDialogButtonBox::StandardButton which) {
    return sheet->findChild<QDialogButtonBox*>(QStringLiteral("sheetButtons"))->button(which);
}

void Click(QWidget* root, int id) { QTest::mouseClick(Ctl(root, id), Qt::LeftButton); }

QString Text(QWidget* root, int id) {
    QWidget* w = Ctl(root, id);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return QString();
}

// Brings page `index` to the front and presses its Begin Test.
void BeginOn(QWidget* sheet, Pages& pages, int index) {
    Tabs(sheet)->setCurrentIndex(index);
    Click(Page(sheet, index), pages.Ids(index).begin);
}

}  // namespace

class TestSheetTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!QApplication::activeModalWidget()); }

    void opensWithThreeTabsInOrderAndTheFirstInFront() {
        Pages pages;
        ModalScript script;
        QString title;
        QStringList tabs;
        int current = -1;
        bool latinInFront = false;
        script.Sheet([&](QWidget* sheet) {
            title = sheet->windowTitle();
            for (int i = 0; i < Tabs(sheet)->count(); ++i) tabs << Tabs(sheet)->tabText(i);
            current = Tabs(sheet)->currentIndex();
            latinInFront = Tabs(sheet)->currentWidget()->findChild<QWidget*>("ctl1002");
            SheetButton(sheet, QDialogButtonBox::Cancel)->click();
        });
        const int result = RunPropertySheet("Tavrin Tutor", pages.All(), nullptr);
        QVERIFY(script.Done());
        QCOMPARE(result, 2);
        QCOMPARE(title, QStringLiteral("Tavrin Tutor"));
        QCOMPARE(tabs, QStringList({"Latin to English", "English to Latin", "Word Parts"}));
        QCOMPARE(current, 0);
        QVERIFY(latinInFront);
    }

    void wholeQuizThroughTheWidgets_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("inBox");
        QTest::addColumn<QStringList>("prompts");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("score");

        QTest::newRow("Latin to English lowers capitals")
            << 0 << QStringList{"CARRY", "Hate"} << QStringList{"carry", "hate"}
            << QStringList{"portas", "amat"} << QStringList{"Correct Answer", "Wrong Answer"}
            << QStringList{"carry bring bear", "love like "} << "Score = 50%";
        QTest::newRow("English to Latin lowers capitals")
            << 1 << QStringList{"PORTO", "Amo"} << QStringList{"porto", "amo"}
            << QStringList{"carry bring bear", "love like "}
            << QStringList{"Correct Answer", "Correct Answer"}
            << QStringList{"porto portare portavi portatum", "amo amare amavi amatum"}
            << "Score = 100%";
        QTest::newRow("Word Parts keeps capitals")
            << 2 << QStringList{"Porto", "amo"} << QStringList{"Porto", "amo"}
            << QStringList{"portas", "amat"} << QStringList{"Wrong Answer", "Correct Answer"}
            << QStringList{"porto", "amo"} << "Score = 50%";
    }

    void wholeQuizThroughTheWidgets() {
        QFETCH(int, page);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, inBox);
        QFETCH(QStringList, prompts);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, shown);
        QFETCH(QString, score);

        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        Pages pages;
        const TestPageControls ids = pages.Ids(page);
        ModalScript script;
        QStringList seenPrompts, seenInBox, seenMarks, seenShown;
        SeenBox scoreBox;

        script.Sheet([&](QWidget* sheet) { BeginOn(sheet, pages, page); });
        script.File(QString::fromStdString(path));
        for (int i = 0; i < typed.size(); ++i) {
            script.Sheet([&, i](QWidget* sheet) {
                QWidget* form = Page(sheet, page);
                seenPrompts << Text(form, ids.prompt);
                QTest::keyClicks(Ctl(form, ids.answer), typed[i]);
                seenInBox << Text(form, ids.answer);
                Click(form, ids.submit);
                seenMarks << Text(form, ids.mark);
                seenShown << Text(form, ids.shown);
                Click(form, i + 1 < typed.size() ? ids.next : ids.quit);
            });
        }
        script.Box(&scoreBox);

        const int result = RunPropertySheet("Tavrin Tutor", pages.All(), nullptr);
        QVERIFY(script.Done());
        QCOMPARE(result, kQuitResult);
        QCOMPARE(seenPrompts, prompts);
        QCOMPARE(seenInBox, inBox);
        QCOMPARE(seenMarks, marks);
        QCOMPARE(seenShown, shown);
        QCOMPARE(scoreBox.text, score);
        QCOMPARE(scoreBox.title, QStringLiteral("Score"));
        QCOMPARE(scoreBox.buttons, QStringList({"OK", "Cancel"}));
        QVERIFY(!scoreBox.hasIcon);
    }

    void enterPressesOnlyThePagesDefaultButton_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("markAfterEnter");
        QTest::newRow("Latin: Enter submits") << 0 << "Correct Answer";
        QTest::newRow("English: Enter submits") << 1 << "Wrong Answer";
        QTest::newRow("Word Parts: Enter does nothing") << 2 << "Amswer";
    }

    void enterPressesOnlyThePagesDefaultButton() {
        QFETCH(int, page);
        QFETCH(QString, markAfterEnter);
        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        Pages pages;
        const TestPageControls ids = pages.Ids(page);
        ModalScript script;
        QString mark, answerKept;
        bool openAfterEnter = false, openAfterEnterOnSheetButtons = false;

        script.Sheet([&](QWidget* sheet) { BeginOn(sheet, pages, page); });
        script.File(QString::fromStdString(path));
        script.Sheet([&](QWidget* sheet) {
            QWidget* form = Page(sheet, page);
            QTest::keyClicks(Ctl(form, ids.answer), QStringLiteral("carry"));
            QTest::keyClick(Ctl(form, ids.answer), Qt::Key_Return);
            mark = Text(form, ids.mark);
            answerKept = Text(form, ids.answer);
            openAfterEnter = sheet->isVisible();
            if (page == 2) {
                // Nor do the sheet's own buttons answer Enter when they have the focus.
                QTest::keyClick(SheetButton(sheet, QDialogButtonBox::Ok), Qt::Key_Return);
                QTest::keyClick(SheetButton(sheet, QDialogButtonBox::Cancel), Qt::Key_Enter,
                                Qt::KeypadModifier);
            }
            openAfterEnterOnSheetButtons = sheet->isVisible();
            SheetButton(sheet, QDialogButtonBox::Cancel)->click();
        });

        const int result = RunPropertySheet("Tavrin Tutor", pages.All(), nullptr);
        QVERIFY(script.Done());
        QCOMPARE(result, 2);
        QCOMPARE(mark, markAfterEnter);
        QCOMPARE(answerKept, QStringLiteral("carry"));
        QVERIFY(openAfterEnter);
        QVERIFY(openAfterEnterOnSheetButtons);
    }

    void defaultButtonFollowsThePageInFront() {
        Pages pages;
        ModalScript script;
        QList<QStringList> defaults;
        script.Sheet([&](QWidget* sheet) {
            for (int i : {0, 1, 2, 0}) {
                Tabs(sheet)->setCurrentIndex(i);
                QStringList names;
                for (QPushButton* b : sheet->findChildren<QPushButton*>())
                    if (b->isDefault()) names << b->objectName();
                defaults << names;
            }
            SheetButton(sheet, QDialogButtonBox::Cancel)->click();
        });
        RunPropertySheet("Tavrin Tutor", pages.All(), nullptr);
        QVERIFY(script.Done());
        QCOMPARE(defaults, QList<QStringList>({{"ctl1001"}, {"ctl1013"}, {}, {"ctl1001"}}));
    }

    void switchingTabsKeepsEachPagesTest() {
        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        const std::string other = dir.Write("other.voc", kVoc);
        Pages pages;
        ModalScript script;
        QString latinPrompt;
        script.Sheet([&](QWidget* sheet) { BeginOn(sheet, pages, 0); });
        script.File(QString::fromStdString(path));
        script.Sheet([&](QWidget* sheet) { BeginOn(sheet, pages, 2); });
        script.File(QString::fromStdString(other));
        script.Sheet([&](QWidget* sheet) {
            Tabs(sheet)->setCurrentIndex(0);
            latinPrompt = Text(Page(sheet, 0), IDC_LATIN_PROMPT);
            SheetButton(sheet, QDialogButtonBox::Ok)->click();
        });
        const int result = RunPropertySheet("Tavrin Tutor", pages.All(), nullptr);
        QVERIFY(script.Done());
        QCOMPARE(result, 1);
        QCOMPARE(latinPrompt, QStringLiteral("portas"));
        QCOMPARE(pages.latin.m_bFileOpen, 1);
        QCOMPARE(pages.word.m_bFileOpen, 1);
    }

    void cancelMidTestClosesTheSheetAndReleasesTheFile() {
        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        int result = 0;
        {
            Pages pages;
            ModalScript script;
            script.Sheet([&](QWidget* sheet) { BeginOn(sheet, pages, 0); });
            script.File(QString::fromStdString(path));
            script.Sheet([&](QWidget* sheet) {
                QTest::keyClicks(Ctl(Page(sheet, 0), IDC_LATIN_ANSWER), QStringLiteral("carry"));
                QTest::mouseClick(SheetButton(sheet, QDialogButtonBox::Cancel), Qt::LeftButton);
            });
            result = RunPropertySheet("Tavrin Tutor", pages.All(), nullptr);
            QVERIFY(script.Done());
            QCOMPARE(pages.latin.m_nAsked, 0);
        }
        QCOMPARE(result, 2);
        CTextFile fresh;
        CFileException error;
        QVERIFY(fresh.Open(path, CTextFile::modeRead, &error));
    }

    void escapeClosesTheSheetWithCancel() {
        Pages pages;
        ModalScript script;
        script.Sheet([&](QWidget* sheet) { QTest::keyClick(sheet, Qt::Key_Escape); });
        QCOMPARE(RunPropertySheet("Tavrin Tutor", pages.All(), nullptr), 2);
        QVERIFY(script.Done());
    }

    void fileHeldByOnePageIsRefusedOnAnother() {
        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        Pages pages;
        ModalScript script;
        SeenBox refusal;
        QString englishPrompt;
        script.Sheet([&](QWidget* sheet) { BeginOn(sheet, pages, 0); });
        script.File(QString::fromStdString(path));
        script.Sheet([&](QWidget* sheet) { BeginOn(sheet, pages, 1); });
        script.File(QString::fromStdString(path));
        script.Box(&refusal);
        script.Sheet([&](QWidget* sheet) {
            englishPrompt = Text(Page(sheet, 1), IDC_ENGLISH_PROMPT);
            SheetButton(sheet, QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(RunPropertySheet("Tavrin Tutor", pages.All(), nullptr), 2);
        QVERIFY(script.Done());
        QCOMPARE(refusal.text, QStringLiteral("Error Opening file for reading, Code: 11"));
        QCOMPARE(refusal.title, QStringLiteral("Error"));
        QCOMPARE(refusal.buttons, QStringList({"OK"}));
        QCOMPARE(englishPrompt, QString());
    }

    void wholeQuizByKeyboardAlone() {
        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        Pages pages;
        ModalScript script;
        SeenBox scoreBox;
        QStringList marks;
        auto focus = [] { return QApplication::focusWidget(); };
        script.Sheet([&](QWidget* sheet) {
            QApplication::setActiveWindow(sheet);
            QVERIFY(QTest::qWaitForWindowActive(sheet));
            QTest::keyClick(focus(), Qt::Key_B, Qt::AltModifier);
        });
        script.File(QString::fromStdString(path));
        script.Sheet([&](QWidget* sheet) {
            // No window manager hands the sheet back its activation when the file dialog goes.
            QApplication::setActiveWindow(sheet);
            // Begin Test leaves the focus in the answer box: no Tab before the first word.
            QTRY_COMPARE(focus(), Ctl(Page(sheet, 0), IDC_LATIN_ANSWER));
            QTest::keyClicks(focus(), QStringLiteral("bear"));
            QTest::keyClick(focus(), Qt::Key_Return);
            marks << Text(Page(sheet, 0), IDC_LATIN_MARK);
            // A mnemonic clicks its button a moment after the key, as a press would look.
            QTest::keyClick(focus(), Qt::Key_N, Qt::AltModifier);
            QTRY_COMPARE(Text(Page(sheet, 0), IDC_LATIN_PROMPT), QStringLiteral("amat"));
            // The focus stays in the answer box, which Next Word has emptied.
            QCOMPARE(focus(), Ctl(Page(sheet, 0), IDC_LATIN_ANSWER));
            QCOMPARE(Text(Page(sheet, 0), IDC_LATIN_ANSWER), QString());
            QTest::keyClicks(focus(), QStringLiteral("like"));
            QTest::keyClick(focus(), Qt::Key_S, Qt::AltModifier);
            QTRY_COMPARE(Text(Page(sheet, 0), IDC_LATIN_SHOWN), QStringLiteral("love like "));
            marks << Text(Page(sheet, 0), IDC_LATIN_MARK);
            QTest::keyClick(focus(), Qt::Key_Q, Qt::AltModifier);
        });
        script.Box(&scoreBox);
        QCOMPARE(RunPropertySheet("Tavrin Tutor", pages.All(), nullptr), kQuitResult);
        QVERIFY(script.Done());
        QCOMPARE(marks, QStringList({"Correct Answer", "Correct Answer"}));
        QCOMPARE(scoreBox.text, QStringLiteral("Score = 100%"));
    }

    void answerBoxTakesTheFocusAndTellsAScreenReader_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("submitKey");  // with Alt; 0: Enter
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("heard");  // after Submit
        QTest::addColumn<QString>("askedNext");

        QTest::newRow("Latin to English, Enter")
            << 0 << "bear" << 0 << "Latin Word: portas"
            << "Correct Answer. Answer: carry bring bear. Latin Word: portas" << "Latin Word: amat";
        QTest::newRow("English to Latin, Enter")
            << 1 << "amo" << 0 << "English Word: carry bring bear"
            << "Wrong Answer. Answer: porto portare portavi portatum. English Word: carry bring bear"
            << "English Word: love like ";
        QTest::newRow("Word Parts, Alt+S")
            << 2 << "porto" << int(Qt::Key_S) << "Latin Word: portas"
            << "Correct Answer. Answer: porto. Latin Word: portas" << "Latin Word: amat";
    }

    void answerBoxTakesTheFocusAndTellsAScreenReader() {
        QFETCH(int, page);
        QFETCH(QString, typed);
        QFETCH(int, submitKey);
        QFETCH(QString, asked);
        QFETCH(QString, heard);
        QFETCH(QString, askedNext);

        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        Pages pages;
        const TestPageControls ids = pages.Ids(page);
        ModalScript script;
        auto focus = [] { return QApplication::focusWidget(); };
        // What a screen reader reads of the control with the focus.
        auto read = [&] {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(focus());
            return a ? a->text(QAccessible::Description) : QString();
        };
        QString selectedAtBegin, heardAsked, heardVerdict, heardNext, textAfterNext;
        bool focusedAtBegin = false, focusedAtNext = false;

        script.Sheet([&](QWidget* sheet) {
            QApplication::setActiveWindow(sheet);
            Tabs(sheet)->setCurrentIndex(page);
            // Begin Test clears nothing: what is in the box stays, selected to be typed over.
            Ctl<QLineEdit>(Page(sheet, page), ids.answer)->setText(QStringLiteral("xyz"));
            Click(Page(sheet, page), ids.begin);
        });
        script.File(QString::fromStdString(path));
        script.Sheet([&](QWidget* sheet) {
            QApplication::setActiveWindow(sheet);
            QWidget* form = Page(sheet, page);
            auto* answer = Ctl<QLineEdit>(form, ids.answer);
            QTRY_VERIFY(focus() == answer);
            focusedAtBegin = true;
            selectedAtBegin = answer->selectedText();
            heardAsked = read();
            const QString firstPrompt = Text(form, ids.prompt);
            QTest::keyClicks(focus(), typed);  // replaces the selection
            if (submitKey)
                QTest::keyClick(focus(), Qt::Key(submitKey), Qt::AltModifier);
            else
                QTest::keyClick(focus(), Qt::Key_Return);
            QTRY_VERIFY(!Text(form, ids.mark).isEmpty() && Text(form, ids.mark) != "Amswer");
            heardVerdict = read();
            QTest::keyClick(focus(), Qt::Key_N, Qt::AltModifier);
            QTRY_VERIFY(Text(form, ids.prompt) != firstPrompt);
            focusedAtNext = focus() == answer;
            heardNext = read();
            textAfterNext = answer->text();
            Click(form, ids.quit);
        });
        script.Box();

        QCOMPARE(RunPropertySheet("Tavrin Tutor", pages.All(), nullptr), kQuitResult);
        QVERIFY(script.Done());
        QVERIFY(focusedAtBegin);
        QCOMPARE(selectedAtBegin, QStringLiteral("xyz"));
        QCOMPARE(heardAsked, asked);
        QCOMPARE(heardVerdict, heard);
        QVERIFY(focusedAtNext);
        QCOMPARE(heardNext, askedNext);
        QCOMPARE(textAfterNext, QString());
    }
};

QTEST_MAIN(TestSheetTest)
#include "TestSheetTest.moc"
