// Qt's own texts (standard buttons, the file dialog, the headings of tavrin --help) in the
// language the program speaks, from Qt's translations (Debian's qt6-translations-l10n). Where
// they are not installed the German cases are skipped: the program then shows Qt's English.
#include <stdlib.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "QtTranslations.h"
#include "Tr.h"

namespace {

bool QtGermanInstalled() {
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                         QStringLiteral("/qtbase_de.qm"));
}

}  // namespace

class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void StandardTextsInGerman();
    void HelpHeadingsFollowTheLocale_data();
    void HelpHeadingsFollowTheLocale();
};

// This process runs on a German desktop (see main): Qt's own texts read German beside ours.
void QtTranslationsTest::StandardTextsInGerman() {
    if (!QtGermanInstalled()) QSKIP("Qt's German translations are not installed");
    QVERIFY(InstallQtTranslations(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove(u'&'),
             QStringLiteral("Abbrechen"));
    QCOMPARE(buttons.button(QDialogButtonBox::Open)->text().remove(u'&'), QStringLiteral("Öffnen"));
}

// The locale as gettext reads it chooses Qt's language too: LANGUAGE first, then LC_ALL,
// LC_MESSAGES and LANG; LANGUAGE is not heeded in C; a locale never generated still counts.
void QtTranslationsTest::HelpHeadingsFollowTheLocale_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("usage");  // the first line of tavrin --help
    const QString german = QStringLiteral("Aufruf: tavrin [Optionen] [FILE]");
    const QString english = QStringLiteral("Usage: tavrin [options] [FILE]");
    QTest::newRow("German locale") << QStringList{"LC_ALL=de_DE.UTF-8"} << german;
    QTest::newRow("LANGUAGE before LC_ALL")
        << QStringList{"LANGUAGE=de", "LC_ALL=C.UTF-8"} << german;
    QTest::newRow("LANG of a locale never generated") << QStringList{"LANG=de_ZZ.UTF-8"} << german;
    QTest::newRow("C heeds no LANGUAGE") << QStringList{"LANGUAGE=de", "LC_ALL=C"} << english;
}

void QtTranslationsTest::HelpHeadingsFollowTheLocale() {
    QFETCH(QStringList, environment);
    QFETCH(QString, usage);
    if (usage.startsWith(u"Aufruf") && !QtGermanInstalled()) {
        QSKIP("Qt's German translations are not installed");
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.remove(name);
    for (const QString& variable : environment) {
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TAVRIN_EXE), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(output.section(u'\n', 0, 0), usage);
}

// A German desktop, as the program starts on one: the locale (or, where it was never generated,
// the language alone), then our catalogs, then Qt's.
int main(int argc, char* argv[]) {
    ::setenv("LANGUAGE", "de", 1);
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    tr::Init();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QtTranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtTranslationsTest.moc"
