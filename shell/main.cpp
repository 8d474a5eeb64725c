// tavrin [FILE]: starts Tavrin Tutor with a new document, or with FILE opened as a document.

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "QtTranslations.h"
#include "ShownProbe.h"
#include "Tr.h"
#include "tavrin.h"

int main(int argc, char* argv[]) {
    tr::Init();
    // The settings live under this name: ~/.config/tavrin/tavrin.conf. No display name: Qt would
    // append it to every caption.
    QCoreApplication::setOrganizationName(QStringLiteral("tavrin"));
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrin"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(
        _("Tavrin Tutor, a Latin vocabulary trainer. Starts with a new document, or with FILE "
          "opened as a document (the file is not read; tests choose their vocabulary file "
          "themselves).")));
    const QCommandLineOption helpOption(QStringList{"h", "help"},
                                        QString::fromUtf8(_("Displays this help.")));
    const QCommandLineOption versionOption(QStringList{"v", "version"},
                                           QString::fromUtf8(_("Displays version information.")));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QString::fromUtf8(_("A file to open.")),
                                 QStringLiteral("[FILE]"));

    // --help and --version are answered before the application exists, so they work without a
    // display.
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--")) break;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            // Qt's translations of the headings need an application, though not a display. Its
            // one argument is the name the usage line shows, not the path it was started by.
            char name[] = "tavrin";
            char* names[] = {name, nullptr};
            int count = 1;
            QCoreApplication core(count, names);
            InstallQtTranslations(core);
            std::fputs(qPrintable(parser.helpText().replace(QLatin1String("<executable_name>"),
                                                            QLatin1String("tavrin"))),
                       stdout);
            return 0;
        }
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            // "NAME VERSION", as other programs say it; the About box tells more.
            std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                        qPrintable(QCoreApplication::applicationVersion()));
            return 0;
        }
    }

    // Qt takes its own options (-platform, -style, ...) out of the arguments here.
    QApplication application(argc, argv);
    InstallQtTranslations(application);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, _("tavrin: %s\nTry 'tavrin --help'.\n"),
                     qPrintable(parser.errorText()));
        return 2;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs(_("tavrin: give at most one FILE\nTry 'tavrin --help'.\n"), stderr);
        return 2;
    }

    CTavrinApp theApp;
    if (!theApp.InitInstance(files.isEmpty() ? QString() : files.first())) return 1;
    CShownProbe::Attach(theApp.GetMainWnd());
    return QApplication::exec();
}
