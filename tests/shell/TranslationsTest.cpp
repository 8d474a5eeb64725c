// The windows in every language of po/LINGUAS: each text of a template fits its control,
// measured with the control's own font; and under German the menus, the Latin to English page
// and a message box read in German. The catalogs are those of the build tree.
#include <stdlib.h>

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <clocale>
#include <functional>
#include <memory>

#include "DialogHost.h"
#include "MainFrm.h"
#include "Resource.h"
#include "TempDir.h"
#include "TemplateForm.h"
#include "Tr.h"
#include "tavrin.h"

namespace {

// Switches this process to `language` (as LANGUAGE=xx in a UTF-8 locale), or to C when empty.
void UseLanguage(const QString& language) {
    tr::BindDir(TAVRIN_BUILD_LOCALEDIR);
    if (language.isEmpty()) {
        ::unsetenv("LANGUAGE");
        std::setlocale(LC_ALL, "C");
    } else {
        ::setenv("LANGUAGE", language.toUtf8().constData(), 1);
        std::setlocale(LC_ALL, "C.UTF-8");
    }
}

QStringList Languages() {
    QFile file(QStringLiteral(TAVRIN_PO_DIR "/LINGUAS"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList languages;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString language = QString::fromUtf8(line).trimmed();
        if (!language.isEmpty() && !language.startsWith(u'#')) languages << language;
    }
    return languages;
}

// Why `widget`'s text does not fit it, or empty when it fits. A button's text must leave room
// for the button's frame and margins; a wrapped label must show every line and break no word.
QString Overflow(QWidget* widget) {
    const QFontMetrics metrics = widget->fontMetrics();
    QStringList lines;
    int room = 0;
    bool wrapped = false;
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        lines = StripMnemonic(button->text()).split(u'\n');
        const QStyle* style = button->style();
        room = button->width() - style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) -
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (!label->pixmap().isNull() || label->text().isEmpty()) return {};
        room = label->contentsRect().width();
        wrapped = label->wordWrap();
        if (wrapped) {
            if (!CutToFit(label->text(), label->font(), label->contentsRect().size(), true)
                     .isEmpty())
                return QStringLiteral("'%1' needs more lines than its box holds")
                    .arg(label->text());
            lines = label->text().split(u' ', Qt::SkipEmptyParts);  // each word on a line at most
        } else {
            lines = {label->text()};
        }
    }
    for (const QString& line : lines) {
        const int width = metrics.horizontalAdvance(line);
        if (width > room) {
            return QStringLiteral("'%1' is %2 px wide, its control has room for %3 px")
                .arg(line)
                .arg(width)
                .arg(room);
        }
    }
    return {};
}

// Runs `act` on the first modal window that `wanted` accepts, as soon as it is up.
void WhenModal(std::function<bool(QWidget*)> wanted, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, wanted, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !wanted(modal)) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* action : actions) {
        if (action->isVisible() && !action->isSeparator()) texts << action->text();
    }
    return texts;
}

}  // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_dir = std::make_unique<TempDir>();
        const QString config = QString::fromStdString(m_dir->File("config"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
        QVERIFY2(Languages().contains(QStringLiteral("de")), "po/LINGUAS names German");
    }
    void cleanup() {
        UseLanguage(QString());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void everyTextFitsItsControl_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("templateId");
        for (const QString& language : QStringList{QString()} + Languages()) {
            for (int id : {IDD_ABOUTBOX, IDD_TAVRIN_FORM, IDD_LATIN_PAGE, IDD_ENGLISH_PAGE,
                           IDD_WORD_PAGE, IDD_MAKEVOC}) {
                const QString name = language.isEmpty() ? QStringLiteral("C") : language;
                QTest::addRow("%s/%d", qPrintable(name), id) << language << id;
            }
        }
    }
    void everyTextFitsItsControl() {
        QFETCH(QString, language);
        QFETCH(int, templateId);
        UseLanguage(language);
        CTemplateForm form(*FindDialogTemplate(templateId), nullptr);
        // The marks the logic sets are texts of the template's too.
        for (int mark : {IDC_LATIN_MARK, IDC_ENGLISH_MARK, IDC_WORD_MARK}) {
            for (const char* text : {"Correct Answer", "Wrong Answer"}) {
                if (!form.Control(mark)) continue;
                form.SetText(mark, text);
                const QString why = Overflow(form.Control(mark));
                QVERIFY2(why.isEmpty(), qPrintable(why));
            }
        }
        for (QWidget* control : form.findChildren<QWidget*>()) {
            const QString why = Overflow(control);
            QVERIFY2(why.isEmpty(), qPrintable(control->objectName() + QStringLiteral(": ") + why));
        }
    }

    void theSheetShowsEveryTab_data() {
        QTest::addColumn<QString>("language");
        for (const QString& language : QStringList{QString()} + Languages())
            QTest::newRow(language.isEmpty() ? "C" : qPrintable(language)) << language;
    }
    void theSheetShowsEveryTab() {
        QFETCH(QString, language);
        UseLanguage(language);
        CDialogLogicStub latin(IDD_LATIN_PAGE), english(IDD_ENGLISH_PAGE), word(IDD_WORD_PAGE);
        CTestSheet sheet(QStringLiteral("Tavrin Tutor"), {&latin, &english, &word}, nullptr);
        sheet.show();
        auto* tabs = sheet.findChild<QTabWidget*>();
        // With tabs too wide for the sheet, Qt would hide some behind scroll arrows.
        QVERIFY2(tabs->tabBar()->sizeHint().width() <= tabs->width(),
                 qPrintable(QStringLiteral("tabs need %1 px of %2")
                                .arg(tabs->tabBar()->sizeHint().width())
                                .arg(tabs->width())));
    }

    void underGermanTheMenusThePageAndItsBoxesReadInGerman() {
        UseLanguage(QStringLiteral("de"));
        CTavrinApp app;
        QVERIFY(app.InitInstance(QString()));
        CMainFrame* frame = app.GetMainWnd();
        QCOMPARE(Texts(frame->menuBar()->actions()),
                 QStringList({"&Datei", "&Optionen", "&Test", "&Hilfe"}));
        QStringList items;
        for (QAction* popup : frame->menuBar()->actions()) {
            if (popup->isVisible()) items += Texts(popup->menu()->actions());
        }
        QCOMPARE(items, QStringList({"&Beenden", "&Reihenfolge ändern", "&Vokabeldatei anlegen",
                                     "Test &starten", "Ü&ber tavrin..."}));

        QStringList page, box;
        WhenModal([](QWidget* w) { return w->objectName() == u"testSheet"; },
                  [&](QWidget* sheet) {
                      auto* tabs = sheet->findChild<QTabWidget*>();
                      for (int i = 0; i < tabs->count(); ++i) page << tabs->tabText(i);
                      QWidget* latin = tabs->widget(0);
                      for (QLabel* label : latin->findChildren<QLabel*>()) {
                          if (!label->text().isEmpty()) page << label->text();
                      }
                      for (QPushButton* button : latin->findChildren<QPushButton*>())
                          page << button->text();
                      WhenModal([](QWidget* w) { return qobject_cast<QMessageBox*>(w); },
                                [&](QWidget* w) {
                                    auto* mb = qobject_cast<QMessageBox*>(w);
                                    box << mb->windowTitle() << mb->text();
                                    for (QAbstractButton* b : mb->buttons()) box << b->text();
                                    mb->buttons().first()->click();
                                });
                      latin->findChild<QPushButton*>(QStringLiteral("ctl1001"))->click();
                      qobject_cast<QDialog*>(sheet)->done(2);
                  });
        app.OnCommand(ID_TEST_BEGIN);
        QCOMPARE(page, QStringList({"Latein – Deutsch", "Deutsch – Latein", "Grundform",
                                    "Lateinisches Wort", "Gib das deutsche Wort ein", "Antwort",
                                    "Test &starten", "&Weiter", "&Abgeben", "Test &beenden"}));
        box.sort();
        QCOMPARE(box, QStringList({"Abbrechen", "Fehler", "OK", "Öffne zuerst eine Vokabeldatei"}));
        frame->close();
    }

private:
    // A page with no rules: the sheet needs only its template.
    class CDialogLogicStub : public CDialogLogic {
    public:
        using CDialogLogic::CDialogLogic;
        bool OnCommand(int) override { return false; }
    };

    std::unique_ptr<TempDir> m_dir;
};

QTEST_MAIN(TranslationsTest)
#include "TranslationsTest.moc"
