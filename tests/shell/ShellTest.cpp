// The program as the user meets it: start-up, menus, document windows, the recent-file list, the
// test sheet and the answers it records, the About box, the accelerators and the command line.
// Runs on the offscreen platform with the settings in a temporary folder, so no user setting is
// touched.

#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <vector>

#include "ChildFrm.h"
#include "EnglishPage.h"
#include "LatinPage.h"
#include "MainFrm.h"
#include "ModalScript.h"
#include "Resource.h"
#include "Store.h"
#include "TempDir.h"
#include "WordPage.h"
#include "tavrin.h"
#include "tavrinView.h"

namespace {

// Runs `act` on the next modal window as soon as it is up. Started before the call that runs
// the window modally; it keeps looking until one appears.
void OnNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

struct SeenMessage {
    QString caption;
    QString text;
    bool okAlone = false;  // the box offered OK and nothing else
    int count = 0;
};

// Closes the next message box with OK and remembers what it said.
void AcceptNextMessageBox(SeenMessage& seen) {
    OnNextModal([&seen](QWidget* modal) {
        ++seen.count;
        seen.caption = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.text = box->text();
            seen.okAlone = box->standardButtons() == QMessageBox::Ok;
            box->button(QMessageBox::Ok)->click();
        } else {
            modal->close();
        }
    });
}

QStringList VisibleMenuTitles(CMainFrame* frame) {
    QStringList titles;
    for (QAction* action : frame->menuBar()->actions()) {
        if (action->isVisible()) titles << action->text();
    }
    return titles;
}

QMenu* VisibleMenu(CMainFrame* frame, const QString& title) {
    for (QAction* action : frame->menuBar()->actions()) {
        if (action->isVisible() && action->text() == title) return action->menu();
    }
    return nullptr;
}

// The items of a pop-up as the user sees them: "-" for a separator, "(greyed)" after a disabled
// item.
QStringList ItemTexts(QMenu* menu) {
    emit menu->aboutToShow();
    QStringList items;
    for (QAction* action : menu->actions()) {
        if (!action->isVisible()) continue;
        if (action->isSeparator()) {
            items << QStringLiteral("-");
        } else {
            items << action->text() +
                         (action->isEnabled() ? QString() : QStringLiteral(" (greyed)"));
        }
    }
    return items;
}

QAction* FindItem(QMenu* menu, const QString& text) {
    emit menu->aboutToShow();
    for (QAction* action : menu->actions()) {
        if (action->isVisible() && action->text() == text) return action;
    }
    return nullptr;
}

QStringList DocumentTitles(CMainFrame* frame) {
    QStringList titles;
    for (CChildFrame* child : frame->DocumentWindows()) titles << child->windowTitle();
    return titles;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kVocBytes =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\n\r\n\r\n\r\n";

// An environment variable set for one test and put back as it was, also when the test fails.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_value(qgetenv(name)) {}
    ~ScopedEnv() { m_wasSet ? qputenv(m_name, m_value) : qunsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const QByteArray& value) { qputenv(m_name, value); }
    void Unset() { qunsetenv(m_name); }

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_value;
};

// Sends standard error to the file at `path` for as long as it lives.
class StderrToFile {
public:
    explicit StderrToFile(const std::string& path) : m_saved(::dup(2)) {
        std::fflush(stderr);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, 2);
        ::close(file);
    }
    ~StderrToFile() {
        std::cerr.flush();
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }
    StderrToFile(const StderrToFile&) = delete;
    StderrToFile& operator=(const StderrToFile&) = delete;

private:
    int m_saved;
};

// The controls of test page `index`, in the sheet's tab order.
TestPageControls PageControls(int index) {
    if (index == 0) return CLatinPage().Controls();
    if (index == 1) return CEnglishPage().Controls();
    return CWordPage().Controls();
}

// What one run of the test sheet showed, and what it said on standard error.
struct SheetRun {
    QStringList marks;
    QStringList shown;
    SeenBox score;
    QStringList notSaved;  // lines on standard error that say progress is not being saved
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void StartWithoutFileOpensTavrin1WithDocumentMenu();
    void ClosingLastDocumentBringsBackMainMenu();
    void MenusHoldTheItemsOfTheirResource_data();
    void MenusHoldTheItemsOfTheirResource();
    void NewNumbersDocumentsAndFollowsActiveInCaption();
    void WelcomeViewKeepsFormSizeAndScrolls();
    void OpenedFileGoesToTopOfRecentListUnchanged();
    void RecentListKeepsFourWithoutDuplicatesAcrossRuns();
    void RecentMenuEntryReopensAndDropsFileThatFails();
    void HandEditedRecentListIsTrimmedToFourUniqueFiles();
    void FileThatCannotBeOpenedGivesMessageAndNoWindow_data();
    void FileThatCannotBeOpenedGivesMessageAndNoWindow();
    void StartWithFileThatCannotBeOpenedFails();
    void StartWithFileOpensItAsDocument();
    void OpenCommandAsksForFileWithDialog();
    void BeginTestRunsSheetWithThreePagesAndCancelCloses();
    void SubmitRecordsAnswerAndUnwritableStoreChangesNothing_data();
    void SubmitRecordsAnswerAndUnwritableStoreChangesNothing();
    void AboutShowsBoxAndOkCloses();
    void AcceleratorsNewAndOpenWorkOthersDoNothing();
    void ExitClosesEveryWindow();
    void CommandLineVersionHelpAndMisuse_data();
    void CommandLineVersionHelpAndMisuse();

private:
    CMainFrame* Frame() const { return m_app->GetMainWnd(); }

    std::unique_ptr<CTavrinApp> m_app;
    std::unique_ptr<TempDir> m_dir;
};

void ShellTest::init() {
    QSettings().clear();
    m_dir = std::make_unique<TempDir>();
    m_app = std::make_unique<CTavrinApp>();
}

void ShellTest::cleanup() {
    // A modal window left open would swallow the next test.
    QVERIFY(!QApplication::activeModalWidget());
    m_app.reset();
    m_dir.reset();
}

void ShellTest::StartWithoutFileOpensTavrin1WithDocumentMenu() {
    QVERIFY(m_app->InitInstance());
    QVERIFY(Frame()->isVisible());
    QCOMPARE(DocumentTitles(Frame()), QStringList{"Tavrin1"});
    QCOMPARE(VisibleMenuTitles(Frame()), (QStringList{"&File", "&Options", "&Test", "&Help"}));
    QCOMPARE(Frame()->windowTitle(), QStringLiteral("tavrin - Tavrin1"));
    QVERIFY(!Frame()->windowIcon().isNull());
    QVERIFY(!Frame()->DocumentWindows().first()->windowIcon().isNull());
    QVERIFY(Frame()->findChildren<QToolBar*>().isEmpty());
    QVERIFY(!Frame()->findChild<QStatusBar*>());
    QVERIFY(m_app->RecentFiles().Files().isEmpty());
}

void ShellTest::ClosingLastDocumentBringsBackMainMenu() {
    QVERIFY(m_app->InitInstance());
    Frame()->DocumentWindows().first()->close();
    QTRY_VERIFY(Frame()->DocumentWindows().isEmpty());
    QCOMPARE(VisibleMenuTitles(Frame()), (QStringList{"&File", "&Help"}));
    QCOMPARE(Frame()->windowTitle(), QStringLiteral("tavrin"));

    // File > New from the main menu brings the document menu back.
    FindItem(VisibleMenu(Frame(), "&File"), "&New\tCtrl+N")->trigger();
    QCOMPARE(DocumentTitles(Frame()), QStringList{"Tavrin2"});
    QCOMPARE(VisibleMenuTitles(Frame()), (QStringList{"&File", "&Options", "&Test", "&Help"}));
}

void ShellTest::MenusHoldTheItemsOfTheirResource_data() {
    QTest::addColumn<bool>("documentOpen");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("main File") << false << "&File" << QStringList{"&New\tCtrl+N",
                                                                  "&Open...\tCtrl+O",
                                                                  "-",
                                                                  "Recent File (greyed)",
                                                                  "-",
                                                                  "E&xit"};
    QTest::newRow("main Help") << false << "&Help" << QStringList{"&About tavrin..."};
    QTest::newRow("document File") << true << "&File" << QStringList{"-", "E&xit"};
    QTest::newRow("document Options")
        << true << "&Options" << QStringList{"&Change Order", "&Make Voc File"};
    QTest::newRow("document Test") << true << "&Test" << QStringList{"&Begin Test"};
    QTest::newRow("document Help") << true << "&Help" << QStringList{"&About tavrin..."};
}

void ShellTest::MenusHoldTheItemsOfTheirResource() {
    QFETCH(bool, documentOpen);
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QVERIFY(m_app->InitInstance());
    if (!documentOpen) {
        Frame()->DocumentWindows().first()->close();
        QTRY_VERIFY(Frame()->DocumentWindows().isEmpty());
    }
    QMenu* popup = VisibleMenu(Frame(), menu);
    QVERIFY(popup);
    QCOMPARE(ItemTexts(popup), items);
}

void ShellTest::NewNumbersDocumentsAndFollowsActiveInCaption() {
    QVERIFY(m_app->InitInstance());
    m_app->OnCommand(ID_FILE_NEW);
    m_app->OnCommand(ID_FILE_NEW);
    QCOMPARE(DocumentTitles(Frame()), (QStringList{"Tavrin1", "Tavrin2", "Tavrin3"}));
    QCOMPARE(Frame()->windowTitle(), QStringLiteral("tavrin - Tavrin3"));
    for (CChildFrame* child : Frame()->DocumentWindows()) {
        QVERIFY(child->GetView()->Form());
        QVERIFY(child->isVisible());
    }

    Frame()->MdiArea()->setActiveSubWindow(Frame()->DocumentWindows().first());
    QCOMPARE(Frame()->windowTitle(), QStringLiteral("tavrin - Tavrin1"));

    // Maximised, the document's title stays in the caption once and only once.
    Frame()->DocumentWindows().first()->showMaximized();
    QTRY_COMPARE(Frame()->windowTitle(), QStringLiteral("tavrin - [Tavrin1]"));
    Frame()->DocumentWindows().first()->showNormal();
    QTRY_COMPARE(Frame()->windowTitle(), QStringLiteral("tavrin - Tavrin1"));

    // Closing the active one leaves another active, and the caption follows.
    Frame()->DocumentWindows().first()->close();
    QTRY_COMPARE(Frame()->DocumentWindows().size(), 2);
    QVERIFY(Frame()->windowTitle() == "tavrin - Tavrin2" ||
            Frame()->windowTitle() == "tavrin - Tavrin3");
}

void ShellTest::WelcomeViewKeepsFormSizeAndScrolls() {
    QVERIFY(m_app->InitInstance());
    CChildFrame* child = Frame()->DocumentWindows().first();
    CTavrinView* view = child->GetView();
    const QSize formSize = view->Form()->size();
    QVERIFY(formSize.width() > 100 && formSize.height() > 100);
    // The welcome picture is there, at its own size.
    bool pictureFound = false;
    for (QLabel* label : view->Form()->findChildren<QLabel*>()) {
        const QPixmap pixmap = label->pixmap();
        if (!pixmap.isNull() && pixmap.size() == QSize(133, 237)) pictureFound = true;
    }
    QVERIFY(pictureFound);

    child->resize(120, 100);
    QTRY_VERIFY(view->verticalScrollBar()->maximum() > 0);
    QVERIFY(view->horizontalScrollBar()->maximum() > 0);
    QCOMPARE(view->Form()->size(), formSize);

    child->resize(formSize + QSize(200, 200));
    QTRY_COMPARE(view->verticalScrollBar()->maximum(), 0);
    QCOMPARE(view->Form()->size(), formSize);
}

void ShellTest::OpenedFileGoesToTopOfRecentListUnchanged() {
    QVERIFY(m_app->InitInstance());
    const QString path =
        QString::fromStdString(m_dir->Write("aeneid.voc", kVocBytes.toStdString()));
    const QDateTime modified = QFileInfo(path).lastModified();

    QVERIFY(m_app->OpenDocumentFile(path));
    QCOMPARE(DocumentTitles(Frame()), (QStringList{"Tavrin1", "aeneid.voc"}));
    QCOMPARE(Frame()->windowTitle(), QStringLiteral("tavrin - aeneid.voc"));
    QCOMPARE(m_app->RecentFiles().Files(), QStringList{path});

    // Nothing was written; the file is not held open either, so a second open succeeds.
    QCOMPARE(ReadBytes(path), kVocBytes);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QVERIFY(m_app->OpenDocumentFile(path));
    QCOMPARE(m_app->RecentFiles().Files(), QStringList{path});

    // The list shows in the main menu once no document window is open.
    for (CChildFrame* child : Frame()->DocumentWindows()) child->close();
    QTRY_VERIFY(Frame()->DocumentWindows().isEmpty());
    QCOMPARE(ItemTexts(VisibleMenu(Frame(), "&File")),
             (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "-", "&1 aeneid.voc", "-", "E&xit"}));
}

void ShellTest::RecentListKeepsFourWithoutDuplicatesAcrossRuns() {
    QVERIFY(m_app->InitInstance());
    QStringList paths;
    for (const char* name : {"a.voc", "b.voc", "c.voc", "d.voc", "e&f.voc"}) {
        paths << QString::fromStdString(m_dir->Write(name, "x\r\n"));
        QVERIFY(m_app->OpenDocumentFile(paths.last()));
    }
    QVERIFY(m_app->OpenDocumentFile(paths[2]));  // again: moves to the top, no second entry
    const QStringList expected{paths[2], paths[4], paths[3], paths[1]};
    QCOMPARE(m_app->RecentFiles().Files(), expected);
    QCOMPARE(m_app->RecentFileMenuTexts(),
             (QStringList{"&1 c.voc", "&2 e&&f.voc", "&3 d.voc", "&4 b.voc"}));

    // The next run finds the same list in the settings.
    m_app = std::make_unique<CTavrinApp>();
    QVERIFY(m_app->InitInstance());
    QCOMPARE(m_app->RecentFiles().Files(), expected);
}

void ShellTest::RecentMenuEntryReopensAndDropsFileThatFails() {
    QVERIFY(m_app->InitInstance());
    const QString kept = QString::fromStdString(m_dir->Write("kept.voc", "x\r\n"));
    const QString gone = QString::fromStdString(m_dir->Write("gone.voc", "x\r\n"));
    QVERIFY(m_app->OpenDocumentFile(kept));
    QVERIFY(m_app->OpenDocumentFile(gone));
    for (CChildFrame* child : Frame()->DocumentWindows()) child->close();
    QTRY_VERIFY(Frame()->DocumentWindows().isEmpty());

    QAction* second = FindItem(VisibleMenu(Frame(), "&File"), "&2 kept.voc");
    QVERIFY(second);
    second->trigger();
    QCOMPARE(DocumentTitles(Frame()), QStringList{"kept.voc"});
    QCOMPARE(m_app->RecentFiles().Files(), (QStringList{kept, gone}));

    for (CChildFrame* child : Frame()->DocumentWindows()) child->close();
    QTRY_VERIFY(Frame()->DocumentWindows().isEmpty());
    QVERIFY(QFile::remove(gone));
    SeenMessage seen;
    AcceptNextMessageBox(seen);
    FindItem(VisibleMenu(Frame(), "&File"), "&2 gone.voc")->trigger();
    QCOMPARE(seen.count, 1);
    QVERIFY(seen.text.contains("gone.voc"));
    QVERIFY(Frame()->DocumentWindows().isEmpty());
    QCOMPARE(m_app->RecentFiles().Files(), QStringList{kept});
    QCOMPARE(QSettings().value("Recent File List/size").toInt(), 1);
}

void ShellTest::HandEditedRecentListIsTrimmedToFourUniqueFiles() {
    {
        QSettings settings;
        const QStringList stored{"/v/a.voc",      "",         "/v/a.voc", "/v/b.voc",
                                 "/v/../v/c.voc", "/v/d.voc", "/v/e.voc"};
        settings.beginWriteArray("Recent File List");
        for (int i = 0; i < stored.size(); ++i) {
            settings.setArrayIndex(i);
            settings.setValue("File", stored[i]);
        }
        settings.endArray();
    }
    QVERIFY(m_app->InitInstance());
    QCOMPARE(m_app->RecentFiles().Files(),
             (QStringList{"/v/a.voc", "/v/b.voc", "/v/c.voc", "/v/d.voc"}));
}

void ShellTest::FileThatCannotBeOpenedGivesMessageAndNoWindow_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("makeFolder");
    QTest::addColumn<bool>("unreadable");
    QTest::newRow("missing") << "missing.voc" << false << false;
    QTest::newRow("folder") << "folder.voc" << true << false;
    QTest::newRow("unreadable") << "secret.voc" << false << true;
}

void ShellTest::FileThatCannotBeOpenedGivesMessageAndNoWindow() {
    QFETCH(QString, name);
    QFETCH(bool, makeFolder);
    QFETCH(bool, unreadable);
    const QString path = QString::fromStdString(m_dir->File(name.toStdString()));
    if (makeFolder) QVERIFY(QDir().mkdir(path));
    if (unreadable) {
        if (::geteuid() == 0) QSKIP("root reads every file; run as a normal user for this row");
        m_dir->Write(name.toStdString(), "x\r\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    QVERIFY(m_app->InitInstance());
    SeenMessage seen;
    AcceptNextMessageBox(seen);
    QVERIFY(!m_app->OpenDocumentFile(path));
    QCOMPARE(seen.count, 1);
    QCOMPARE(seen.caption, QStringLiteral("tavrin"));
    QVERIFY(seen.okAlone);
    QVERIFY2(seen.text.contains(path), qPrintable(seen.text));
    QCOMPARE(DocumentTitles(Frame()), QStringList{"Tavrin1"});
    QVERIFY(m_app->RecentFiles().Files().isEmpty());
}

void ShellTest::StartWithFileThatCannotBeOpenedFails() {
    SeenMessage seen;
    AcceptNextMessageBox(seen);
    QVERIFY(!m_app->InitInstance(QString::fromStdString(m_dir->File("missing.voc"))));
    QCOMPARE(seen.count, 1);
    QVERIFY(!Frame() || !Frame()->isVisible());
}

void ShellTest::StartWithFileOpensItAsDocument() {
    const QString path = QString::fromStdString(m_dir->Write("start.voc", kVocBytes.toStdString()));
    QVERIFY(m_app->InitInstance(path));
    QCOMPARE(DocumentTitles(Frame()), QStringList{"start.voc"});
    QCOMPARE(m_app->RecentFiles().Files(), QStringList{path});
    QCOMPARE(ReadBytes(path), kVocBytes);
}

void ShellTest::OpenCommandAsksForFileWithDialog() {
    QVERIFY(m_app->InitInstance());
    const QString path =
        QString::fromStdString(m_dir->Write("chosen.voc", kVocBytes.toStdString()));
    OnNextModal([path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    m_app->OnCommand(ID_FILE_OPEN);
    QCOMPARE(DocumentTitles(Frame()), (QStringList{"Tavrin1", "chosen.voc"}));

    // Cancel opens nothing.
    OnNextModal([](QWidget* modal) { modal->close(); });
    m_app->OnCommand(ID_FILE_OPEN);
    QCOMPARE(Frame()->DocumentWindows().size(), 2);
}

void ShellTest::BeginTestRunsSheetWithThreePagesAndCancelCloses() {
    QVERIFY(m_app->InitInstance());
    for (int run = 0; run < 2; ++run) {
        QString caption;
        QStringList tabs;
        int current = -1;
        OnNextModal([&](QWidget* modal) {
            caption = modal->windowTitle();
            if (auto* pages = modal->findChild<QTabWidget*>()) {
                for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
                current = pages->currentIndex();
            }
            auto* buttons = modal->findChild<QDialogButtonBox*>();
            QVERIFY(buttons);
            buttons->button(QDialogButtonBox::Cancel)->click();
        });
        FindItem(VisibleMenu(Frame(), "&Test"), "&Begin Test")->trigger();
        QCOMPARE(caption, QStringLiteral("Tavrin Tutor"));
        QCOMPARE(tabs, (QStringList{"Latin to English", "English to Latin", "Word Parts"}));
        QCOMPARE(current, 0);
    }
    QCOMPARE(DocumentTitles(Frame()), QStringList{"Tavrin1"});
}

void ShellTest::SubmitRecordsAnswerAndUnwritableStoreChangesNothing_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("correct");  // for the first word, portas
    QTest::addColumn<bool>("writable");
    const struct {
        const char* tab;
        int page;
        const char* card;
        const char* typed;
        bool correct;
    } pages[] = {{"Latin to English", 0, "latin", "bring", true},
                 {"English to Latin", 1, "english", "amo", false},
                 {"Word Parts", 2, "parts", "porto", true}};
    for (bool writable : {true, false}) {
        for (const auto& p : pages) {
            QTest::addRow("%s, %s", p.tab, writable ? "recorded" : "store cannot be written")
                << p.page << QString(p.card) << QString(p.typed) << p.correct << writable;
        }
    }
}

void ShellTest::SubmitRecordsAnswerAndUnwritableStoreChangesNothing() {
    QFETCH(int, page);
    QFETCH(QString, card);
    QFETCH(QString, typed);
    QFETCH(bool, correct);
    QFETCH(bool, writable);
    QVERIFY(m_app->InitInstance());
    const std::string voc =
        m_dir->Write("words.voc",
                     "portas porto portare portavi portatum\r\ncarry\r\nbring\r\n"
                     "\r\n\r\n\r\namat amo amare amavi amatum\r\nlove\r\n\r\n\r\n\r\n\r\n");
    const TestPageControls ids = PageControls(page);
    // The store goes under the test's folder; where it cannot be written, its folder's parent
    // is a file, which stops even root.
    m_dir->Write("file", "");
    ScopedEnv noProgress("TAVRIN_NO_PROGRESS");
    ScopedEnv dataHome("XDG_DATA_HOME");
    dataHome.Set(
        QFile::encodeName(QString::fromStdString(m_dir->File(writable ? "data" : "file/data"))));

    // Test > Begin Test, the page's Begin Test, the file, then `words` answers and Quit.
    auto run = [&](int words, SheetRun& seen) {
        ModalScript script;
        auto form = [page](QWidget* sheet) {
            return sheet->findChild<QTabWidget*>(QStringLiteral("pages"))->widget(page);
        };
        script.Sheet([&](QWidget* sheet) {
            sheet->findChild<QTabWidget*>(QStringLiteral("pages"))->setCurrentIndex(page);
            QTest::mouseClick(Ctl(form(sheet), ids.begin), Qt::LeftButton);
        });
        script.File(QString::fromStdString(voc));
        for (int i = 0; i < words; ++i) {
            script.Sheet([&, i](QWidget* sheet) {
                QTest::keyClicks(Ctl(form(sheet), ids.answer), typed);
                QTest::mouseClick(Ctl(form(sheet), ids.submit), Qt::LeftButton);
                seen.marks << Ctl<QLabel>(form(sheet), ids.mark)->text();
                seen.shown << Ctl<QLabel>(form(sheet), ids.shown)->text();
                QTest::mouseClick(Ctl(form(sheet), i + 1 < words ? ids.next : ids.quit),
                                  Qt::LeftButton);
            });
        }
        script.Box(&seen.score);
        const std::string errors = m_dir->File("stderr.txt");
        {
            StderrToFile capture(errors);
            FindItem(VisibleMenu(Frame(), "&Test"), "&Begin Test")->trigger();
        }
        seen.notSaved = QString::fromLocal8Bit(ReadBytes(QString::fromStdString(errors)))
                            .split(u'\n')
                            .filter(QStringLiteral("progress is not being saved"));
        QVERIFY(script.Done());
    };

    if (!writable) {
        // The same test with recording off shows what the page must show.
        SheetRun off, failing;
        noProgress.Set("1");
        run(2, off);
        noProgress.Unset();
        run(2, failing);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(failing.marks, off.marks);
        QCOMPARE(failing.shown, off.shown);
        QCOMPARE(failing.score.text, off.score.text);
        QCOMPARE(failing.score.title, off.score.title);
        QCOMPARE(failing.score.buttons, off.score.buttons);
        QCOMPARE(off.notSaved, QStringList());
        QCOMPARE(failing.notSaved.size(), 1);
        QVERIFY2(failing.notSaved[0].contains("file/data"), qPrintable(failing.notSaved[0]));
        return;
    }

    noProgress.Unset();
    SheetRun seen;
    run(1, seen);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(seen.marks, QStringList{correct ? "Correct Answer" : "Wrong Answer"});
    QCOMPARE(seen.notSaved, QStringList());

    progress::CProgressStore store;
    progress::StoreProblem problem;
    QVERIFY(store.OpenToRead(m_dir->File("data/tavrin/progress.sqlite"), problem));
    std::vector<progress::Answer> answers;
    QVERIFY(store.ForEachAnswer([&](const progress::Answer& a) { answers.push_back(a); }, problem));
    QCOMPARE(answers.size(), size_t(1));
    QCOMPARE(QString::fromStdString(answers[0].page), card);
    QCOMPARE(QString::fromStdString(answers[0].headword),
             QStringLiteral("portas porto portare portavi portatum"));
    QCOMPARE(QString::fromStdString(answers[0].typed), typed);
    QCOMPARE(answers[0].correct, correct);
    QCOMPARE(QString::fromStdString(answers[0].file), QString::fromStdString(voc));
}

void ShellTest::AboutShowsBoxAndOkCloses() {
    QVERIFY(m_app->InitInstance());
    QString caption;
    bool pictureShown = false;
    OnNextModal([&](QWidget* modal) {
        caption = modal->windowTitle();
        for (QLabel* label : modal->findChildren<QLabel*>()) {
            if (!label->pixmap().isNull() && label->pixmap().size() == QSize(88, 98)) {
                pictureShown = true;
            }
        }
        QPushButton* ok = nullptr;
        for (QPushButton* button : modal->findChildren<QPushButton*>()) {
            if (button->text() == "OK") ok = button;
        }
        QVERIFY(ok);
        ok->click();
    });
    FindItem(VisibleMenu(Frame(), "&Help"), "&About tavrin...")->trigger();
    QCOMPARE(caption, QStringLiteral("About tavrin"));
    QVERIFY(pictureShown);
    QCOMPARE(DocumentTitles(Frame()), QStringList{"Tavrin1"});
}

void ShellTest::AcceleratorsNewAndOpenWorkOthersDoNothing() {
    const QString path = QString::fromStdString(m_dir->Write("held.voc", kVocBytes.toStdString()));
    QVERIFY(m_app->InitInstance(path));
    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    const QDateTime modified = QFileInfo(path).lastModified();

    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(DocumentTitles(Frame()), (QStringList{"held.voc", "Tavrin1"}));

    bool dialogSeen = false;
    OnNextModal([&](QWidget* modal) {
        dialogSeen = qobject_cast<QFileDialog*>(modal) != nullptr;
        modal->close();
    });
    QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(dialogSeen);

    // Save and the editing keys have nothing to act on: no window, no box, no byte written.
    Frame()->MdiArea()->setActiveSubWindow(Frame()->DocumentWindows().first());
    for (const Accelerator& accel : MainAccelerators()) {
        if (accel.command == ID_FILE_NEW || accel.command == ID_FILE_OPEN) continue;
        const QKeySequence keys(QString::fromStdString(accel.keys));
        QVERIFY2(!keys.isEmpty(), accel.keys.c_str());
        QTest::keySequence(Frame(), keys);
        QVERIFY2(!QApplication::activeModalWidget(), accel.keys.c_str());
    }
    QCOMPARE(DocumentTitles(Frame()), (QStringList{"held.voc", "Tavrin1"}));
    QCOMPARE(ReadBytes(path), kVocBytes);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(QDir(QString::fromStdString(m_dir->path().string())).entryList(QDir::Files),
             QStringList{"held.voc"});
}

void ShellTest::ExitClosesEveryWindow() {
    QVERIFY(m_app->InitInstance());
    m_app->OnCommand(ID_FILE_NEW);
    FindItem(VisibleMenu(Frame(), "&File"), "E&xit")->trigger();
    QVERIFY(!Frame()->isVisible());
    QTRY_VERIFY(Frame()->DocumentWindows().isEmpty());
}

void ShellTest::CommandLineVersionHelpAndMisuse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("whole");  // the output is `expected` and nothing else
    // "NAME VERSION" alone, as scripts and packagers expect of a Linux program.
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "tavrin 1.0.0.1\n" << true;
    QTest::newRow("-v") << QStringList{"-v"} << 0 << "tavrin 1.0.0.1\n" << true;
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: tavrin [options] [FILE]"
                            << false;
    QTest::newRow("two files") << QStringList{"a.voc", "b.voc"} << 2 << "at most one FILE" << false;
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << "frobnicate" << false;
}

void ShellTest::CommandLineVersionHelpAndMisuse() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, expected);
    QFETCH(bool, whole);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // In English, whatever the desktop of whoever runs the tests speaks.
    env.insert("LC_ALL", "C.UTF-8");
    env.remove("LANGUAGE");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TAVRIN_EXE), arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString output =
        QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
    if (whole) {
        QCOMPARE(output, expected);
    } else {
        QVERIFY2(output.contains(expected), qPrintable(output));
    }
}

// Settings go to a temporary folder before anything can read them.
int main(int argc, char* argv[]) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tavrin"));
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    app.setQuitOnLastWindowClosed(false);
    ShellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ShellTest.moc"
