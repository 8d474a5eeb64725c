// Renders the dialogs as the user sees them, to PNG files for a look by eye:
//   tavrin_qtshots [FOLDER]   (default /tmp/shots; QT_QPA_PLATFORM=offscreen or under xvfb-run)
// The sheet is shown once empty and once in the middle of a test on each page.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <cstdio>
#include <fstream>

#include "EnglishPage.h"
#include "LatinPage.h"
#include "ModalScript.h"
#include "QtWindows.h"
#include "Resource.h"
#include "Tr.h"
#include "WordPage.h"

namespace {

QString g_folder;

void Save(QWidget* w, const QString& name) {
    const QString path = g_folder + u'/' + name + QStringLiteral(".png");
    if (!w->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::printf("%s %dx%d\n", qPrintable(path), w->width(), w->height());
}

// A logic that handles nothing, so the builder's dialog only shows itself.
class CIdleLogic : public CDialogLogic {
public:
    CIdleLogic() : CDialogLogic(IDD_MAKEVOC) {}
    bool OnCommand(int) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
    QDir().mkpath(g_folder);
    // One file per page: a page holds its file for itself while its test runs.
    QStringList vocs;
    for (int i = 1; i <= 3; ++i) {
        vocs << g_folder + QStringLiteral("/shots%1.voc").arg(i);
        std::ofstream(vocs.back().toStdString(), std::ios::binary)
            << "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n"
            << "amat amo amare amavi amatum\r\nlove\r\nlike\r\n\r\n\r\n\r\n";
    }

    {
        CLatinPage latin;
        CEnglishPage english;
        CWordPage word;
        const std::vector<CDialogLogic*> pages{&latin, &english, &word};
        const TestPageControls* ids[] = {&latin.Controls(), &english.Controls(), &word.Controls()};
        ModalScript script;
        auto tabs = [](QWidget* sheet) { return sheet->findChild<QTabWidget*>("pages"); };
        script.Sheet([&](QWidget* sheet) {
            for (int i = 0; i < 3; ++i) {
                tabs(sheet)->setCurrentIndex(i);
                Save(sheet, QStringLiteral("sheet-%1-empty").arg(i + 1));
            }
        });
        const char* answers[] = {"CARRY", "porto", "Portas"};
        for (int i = 0; i < 3; ++i) {
            script.Sheet([&, i](QWidget* sheet) {
                tabs(sheet)->setCurrentIndex(i);
                Ctl<QPushButton>(tabs(sheet)->widget(i), ids[i]->begin)->click();
            });
            script.File(vocs[i]);
            script.Sheet([&, i](QWidget* sheet) {
                QWidget* page = tabs(sheet)->widget(i);
                QTest::keyClicks(Ctl(page, ids[i]->answer), answers[i]);
                Ctl<QPushButton>(page, ids[i]->submit)->click();
                Save(sheet, QStringLiteral("sheet-%1-answered").arg(i + 1));
            });
        }
        script.Sheet([](QWidget* sheet) { sheet->close(); });
        RunPropertySheet("Tavrin Tutor", pages, nullptr);
    }
    {
        CIdleLogic logic;
        ModalScript script;
        script.On(QStringLiteral("dialog138"), [](QWidget* w) {
            QTest::keyClicks(Ctl(w, IDC_MAKE_TEXTFORM), "portas");
            Save(w, QStringLiteral("builder"));
            // The question asked before a file with words in it is touched.
            ShowChoiceBox(w,
                          tr::Message::Lines(
                              {tr::Message("%s already holds %lu word.",
                                           "%s already holds %lu words.", 12, {"lesson3.voc", 12}),
                               "Add the new words at its end, or replace it with an empty file?"}),
                          "Make Voc File", {"&Add", "&Replace", "Cancel"});
            w->close();
        });
        script.On(QStringLiteral("messageBox"), [](QWidget* w) {
            Save(w, QStringLiteral("builder-question"));
            w->close();
        });
        RunModalDialog(logic, nullptr);
    }
    {
        ModalScript script;
        script.On(QStringLiteral("dialog100"), [](QWidget* w) {
            Save(w, QStringLiteral("about"));
            w->close();
        });
        RunModalDialog(IDD_ABOUTBOX, nullptr);
    }
    {
        ModalScript script;
        script.Box();
        script.On(QStringLiteral("messageBox"), [](QWidget* w) {
            Save(w, QStringLiteral("message-box"));
            w->close();
        });
        // The first box is only there to show the second one in front of nothing else.
        ShowMessageBox(nullptr, ScoreNotice(2, 3), "Score", MB_OKCANCEL);
        ShowMessageBox(nullptr, {"Error Opening file for reading, Code: %d", {11}}, "Error", MB_OK);
    }
    {
        std::unique_ptr<QWidget> welcome(CreateTemplateForm(IDD_TAVRIN_FORM, nullptr));
        welcome->show();
        Save(welcome.get(), QStringLiteral("welcome"));
    }
    return 0;
}
