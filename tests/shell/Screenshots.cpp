// Drives the program's own windows and saves pictures of them, for the README:
//   tavrin_screenshots FOLDER PREFIX SAMPLE.voc
// under a display (scripts/screenshots.sh runs it under Xvfb, once per language). Saves
// PREFIX-main-window.png (the welcome view), PREFIX-test-sheet.png (a Latin to English test on
// SAMPLE with its first answer marked), PREFIX-builder.png and PREFIX-builder-question.png (the
// question before a file that already holds words).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QtTest>
#include <cstdio>

#include "MainFrm.h"
#include "ModalScript.h"
#include "Resource.h"
#include "Tr.h"
#include "tavrin.h"

namespace {

QString g_folder, g_prefix;
bool g_ok = true;

void Save(QWidget* w, const char* name) {
    const QString path = QStringLiteral("%1/%2-%3.png").arg(g_folder, g_prefix, name);
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        g_ok = false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), w->width(), w->height());
}

}  // namespace

int main(int argc, char** argv) {
    tr::Init();
    tr::BindDir(TAVRIN_BUILD_LOCALEDIR);
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: tavrin_screenshots FOLDER PREFIX SAMPLE.voc\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    g_prefix = QString::fromLocal8Bit(argv[2]);
    const QString sample = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath();
    // The builder asks before a file with words in it: a copy, so the sample stays as it is.
    const QString existing = QDir::temp().filePath(QStringLiteral("lesson3.voc"));
    QFile::remove(existing);
    QFile::copy(sample, existing);

    CTavrinApp app;
    if (!app.InitInstance(QString())) return 1;
    CMainFrame* frame = app.GetMainWnd();
    if (!QTest::qWaitForWindowExposed(frame)) return 1;
    // Room for the whole document window and a little of the empty area beside it.
    if (const auto* document = frame->findChild<QMdiSubWindow*>()) {
        frame->resize(document->width() + 200,
                      frame->menuBar()->height() + document->height() + 12);
    }
    QTest::qWait(200);
    Save(frame, "main-window");

    {
        ModalScript script;
        script.Sheet([](QWidget* sheet) {
            Ctl<QPushButton>(sheet->findChild<QTabWidget*>()->widget(0), IDC_LATIN_BEGIN)->click();
        });
        script.File(sample);
        script.Sheet([](QWidget* sheet) {
            QWidget* page = sheet->findChild<QTabWidget*>()->widget(0);
            QTest::keyClicks(Ctl(page, IDC_LATIN_ANSWER), "weapons");
            Ctl<QPushButton>(page, IDC_LATIN_SUBMIT)->click();
            Save(sheet, "test-sheet");
            qobject_cast<QDialog*>(sheet)->done(IDCANCEL);
        });
        app.OnCommand(ID_TEST_BEGIN);
        g_ok = g_ok && script.Done();
    }
    {
        ModalScript script;
        script.On(QStringLiteral("dialog138"), [](QWidget* builder) {
            QTest::keyClicks(Ctl(builder, IDC_MAKE_TEXTFORM), "portas");
            QTest::keyClicks(Ctl(builder, IDC_MAKE_DICTFORM), "porto portare portavi portatum");
            QTest::keyClicks(Ctl(builder, IDC_MAKE_DEF1), "carry");
            Save(builder, "builder");
            Ctl<QPushButton>(builder, IDC_MAKE_CREATE)->click();
        });
        script.File(existing);
        script.On(QStringLiteral("messageBox"), [](QWidget* box) {
            Save(box, "builder-question");
            box->close();
        });
        script.On(QStringLiteral("dialog138"), [](QWidget* builder) { builder->close(); });
        app.OnCommand(ID_OPTIONS_MAKEVOCFILE);
        g_ok = g_ok && script.Done();
    }
    QFile::remove(existing);
    frame->close();
    return g_ok ? 0 : 1;
}
