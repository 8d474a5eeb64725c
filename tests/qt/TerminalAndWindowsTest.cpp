// The same answers to the same file give the same prompts, marks, expected answers and score in
// the windows (the real test sheet) and in the terminal (tavrin-voc quiz).
#include <stdlib.h>

#include <QLabel>
#include <QTabWidget>
#include <QtTest>
#include <clocale>
#include <optional>
#include <sstream>
#include <string>

#include "EnglishPage.h"
#include "LatinPage.h"
#include "MarkedWords.h"
#include "ModalScript.h"
#include "QtWindows.h"
#include "TavrinVoc.h"
#include "TempDir.h"
#include "Tr.h"
#include "VocRun.h"
#include "WordPage.h"

namespace {

// The last entry's headword is Windows-1252, as files of the program's original platform are.
const char kVoc[] =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n"
    "amat amo amare amavi amatum\r\nlove\r\nlike\r\n\r\n\r\n\r\n"
    "c\xe6lum c\xe6lum\r\nsky\r\nheaven\r\n\r\n\r\n\r\n";

QString Text(QWidget* root, int id) {
    QWidget* w = Ctl(root, id);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return QString();
}

// Types `text` key by key, as a keyboard with a key for each letter would: QTest::keyClicks
// knows only the letters of Latin-1.
void TypeKeys(QWidget* box, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// The lines the test sheet shows for these answers on page `page`, each prompt named by
// `label`, then the score; false when the sheet did not run as scripted.
bool InWindows(int page, const QString& label, const std::string& path, const QStringList& typed,
               QStringList& inWindows) {
    CLatinPage latin;
    CEnglishPage english;
    CWordPage word;
    CTestPage* pages[] = {&latin, &english, &word};
    const TestPageControls ids = pages[page]->Controls();
    ModalScript script;
    SeenBox scoreBox;

    script.Sheet([&](QWidget* sheet) {
        auto* tabs = sheet->findChild<QTabWidget*>(QStringLiteral("pages"));
        tabs->setCurrentIndex(page);
        QTest::mouseClick(Ctl(tabs->widget(page), ids.begin), Qt::LeftButton);
    });
    script.File(QString::fromStdString(path));
    for (int i = 0; i < typed.size(); ++i) {
        script.Sheet([&, i](QWidget* sheet) {
            QWidget* form = sheet->findChild<QTabWidget*>(QStringLiteral("pages"))->widget(page);
            inWindows << label + ": " + Text(form, ids.prompt);
            TypeKeys(Ctl(form, ids.answer), typed[i]);
            inWindows << Text(form, ids.answer);
            QTest::mouseClick(Ctl(form, ids.submit), Qt::LeftButton);
            inWindows << Text(form, ids.mark) << Text(form, ids.shown);
            QTest::mouseClick(Ctl(form, i + 1 < typed.size() ? ids.next : ids.quit),
                              Qt::LeftButton);
        });
    }
    script.Box(&scoreBox);
    RunPropertySheet("Tavrin Tutor", {&latin, &english, &word}, nullptr);
    inWindows << scoreBox.text;
    return script.Done();
}

// Lines that tavrin-voc quiz prints for these answers, after its opening line.
QStringList InTerminal(const char* page, const std::string& path, const QStringList& typed) {
    std::string input;
    for (const QString& answer : typed) input += answer.toStdString() + "\n";
    input += ":q\n";
    const char* argv[] = {"tavrin-voc", "quiz", "--page", page, path.c_str()};
    std::istringstream in(input);
    std::ostringstream out, err;
    RunTavrinVoc(5, argv, {in, out, err});
    return QString::fromStdString(out.str()).split(u'\n', Qt::SkipEmptyParts).mid(1);
}

// The whole C library in German while it lives, as under LANG=de_DE.UTF-8 (its numbers with a
// decimal comma), with the build tree's catalogs; the locale before it afterwards.
class GermanLocale {
public:
    GermanLocale() : m_saved(std::setlocale(LC_ALL, nullptr)) {
        if (const char* language = std::getenv("LANGUAGE")) m_language = language;
        ::unsetenv("LANGUAGE");
        tr::BindDir(TAVRIN_BUILD_LOCALEDIR);
        m_german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~GermanLocale() {
        std::setlocale(LC_ALL, m_saved.c_str());
        if (m_language) ::setenv("LANGUAGE", m_language->c_str(), 1);
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

    bool Available() const { return m_german; }

private:
    std::string m_saved;
    std::optional<std::string> m_language;
    bool m_german = false;
};

}  // namespace

class TerminalAndWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!QApplication::activeModalWidget()); }

    void sameAnswersSameMarksAndScore_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("pageName");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("score");
        QTest::newRow("Latin to English") << 0 << "latin"
                                          << "Latin Word" << QStringList{"CARRY", "Hate", "heaven"}
                                          << QByteArray(kVoc) << "Score = 66.67%";
        QTest::newRow("English to Latin")
            << 1 << "english"
            << "English Word" << QStringList{"PORTO", "amat", QString::fromUtf8("C\xc3\x86LUM")}
            << QByteArray(kVoc) << "Score = 66.67%";
        QTest::newRow("Word Parts")
            << 2 << "parts"
            << "Latin Word" << QStringList{"Porto", "amo", QString::fromUtf8("c\xc3\xa6lum")}
            << QByteArray(kVoc) << "Score = 66.67%";
        // Capitals in the file and vowel-length marks; typed capitals that lower to one letter
        // each (capital sharp s, dotted capital I, a final capital sigma) lower alike in both.
        QTest::newRow("Latin to English, capitals and marks")
            << 0 << "latin"
            << "Latin Word" << QStringList{"GAUL", "I Love", "Krieg", "CÄSAR ẞİΣ"}
            << QByteArray(kMarkedWords) << "Score = 75%";
        QTest::newRow("English to Latin, capitals and marks")
            << 1 << "english"
            << "English Word" << QStringList{"Gallia", "AMŌ", "bello", "caesar"}
            << QByteArray(kMarkedWords) << "Score = 75%";
        QTest::newRow("Word Parts, capitals and marks")
            << 2 << "parts"
            << "Latin Word" << QStringList{"Gallia", "amo", "bellum", "caesar"}
            << QByteArray(kMarkedWords) << "Score = 75%";
    }

    void sameAnswersSameMarksAndScore() {
        QFETCH(int, page);
        QFETCH(QString, pageName);
        QFETCH(QString, label);
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, file);
        QFETCH(QString, score);

        TempDir dir;
        const std::string path = dir.Write("words.voc", file.toStdString());
        QStringList inWindows;
        QVERIFY(InWindows(page, label, path, typed, inWindows));
        QCOMPARE(inWindows.last(), score);

        QStringList inTerminal = InTerminal(pageName.toUtf8().constData(), path, typed);
        // The terminal also passes the end of the file, which the windows' quiz never reaches.
        inTerminal.removeIf([](const QString& line) { return line.startsWith("End of Test: "); });
        QCOMPARE(inTerminal, inWindows);
    }

    // The score is a number in a German sentence, written with the point the program always
    // writes, wherever the C library would put a comma.
    void germanScoreLine_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("score");
        QTest::newRow("one of three") << QStringList{"carry", "hate", "x"} << "Ergebnis = 33.33 %";
        QTest::newRow("two of three")
            << QStringList{"carry", "hate", "heaven"} << "Ergebnis = 66.67 %";
        QTest::newRow("all three") << QStringList{"carry", "love", "sky"} << "Ergebnis = 100 %";
    }

    void germanScoreLine() {
        QFETCH(QStringList, typed);
        QFETCH(QString, score);
        TempDir dir;
        const std::string path = dir.Write("words.voc", kVoc);
        std::string input;
        for (const QString& answer : typed) input += answer.toStdString() + "\n";
        {
            GermanLocale german;
            if (!german.Available()) QSKIP("de_DE.UTF-8 is not available");
            QStringList inWindows;
            QVERIFY(InWindows(0, QString(), path, typed, inWindows));
            QCOMPARE(inWindows.last(), score);
            QCOMPARE(InTerminal("latin", path, typed).last(), score);
        }
        const VocRun run =
            RunVocProcess(dir, "quiz '" + path + "'", input + ":q\n",
                          "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8");
        QCOMPARE(run.status, 0);
        QVERIFY(!run.Lines().empty());
        QCOMPARE(QString::fromStdString(run.Lines().back()), score);
    }
};

QTEST_MAIN(TerminalAndWindowsTest)
#include "TerminalAndWindowsTest.moc"
