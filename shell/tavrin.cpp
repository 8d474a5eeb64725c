#include "tavrin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <exception>
#include <iostream>
#include <string>

#include "ChangeOrder.h"
#include "ChildFrm.h"
#include "EnglishPage.h"
#include "LatinPage.h"
#include "MakeVoc.h"
#include "QtWindows.h"
#include "Recorder.h"
#include "Resource.h"
#include "Tr.h"
#include "WordPage.h"
#include "tavrinDoc.h"

const CTavrinApp::CommandEntry CTavrinApp::kCommands[] = {
    {ID_APP_ABOUT, &CTavrinApp::OnAbout, true},
    {ID_TEST_BEGIN, &CTavrinApp::OnTestBegin, true},
    {ID_OPTIONS_CHANGEORDER, &CTavrinApp::OnChangeOrder, true},
    {ID_OPTIONS_MAKEVOCFILE, &CTavrinApp::OnMakeVocFile, true},
    {ID_FILE_NEW, &CTavrinApp::OnFileNew, true},
    {ID_FILE_OPEN, &CTavrinApp::OnFileOpen, true},
    {ID_APP_EXIT, &CTavrinApp::OnAppExit, true},
    // Save (Ctrl+S) has no entry on purpose: a document's file is never written.
};

CTavrinApp::CTavrinApp() {
    // The pictures live in this static library; make sure the linker keeps them.
    Q_INIT_RESOURCE(tavrin);
}

CTavrinApp::~CTavrinApp() = default;

const CTavrinApp::CommandEntry* CTavrinApp::FindCommand(int id) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

bool CTavrinApp::InitInstance(const QString& file) {
    LoadStdProfileSettings();

    auto frame = std::make_unique<CMainFrame>(*this);
    if (!frame->LoadFrame(IDR_MAINFRAME)) return false;
    m_pMainWnd = std::move(frame);

    if (file.isEmpty()) {
        OnFileNew();
    } else if (!OpenDocumentFile(file)) {
        return false;
    }
    m_pMainWnd->show();
    return true;
}

void CTavrinApp::LoadStdProfileSettings() {
    QSettings settings;
    m_recentFiles.ReadList(settings);
}

void CTavrinApp::SaveStdProfileSettings() const {
    // Written at every change rather than at exit, so a crash or a killed session keeps the list.
    QSettings settings;
    m_recentFiles.WriteList(settings);
}

void CTavrinApp::OnCommand(int id) {
    try {
        if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + m_recentFiles.Size()) {
            OnOpenRecentFile(id - ID_FILE_MRU_FILE1);
        } else if (const CommandEntry* entry = FindCommand(id); entry && entry->enabled) {
            (this->*entry->handler)();
        }
    } catch (const std::exception& e) {
        // An exception thrown through Qt's event loop would end the program; report it instead.
        try {
            ShowMessageBox(m_pMainWnd.get(),
                           {N_("The command could not be completed: %s"), {tr::Message(e.what())}},
                           N_("Error"), MB_OK);
        } catch (...) {
        }
    } catch (...) {
        try {
            ShowMessageBox(m_pMainWnd.get(), N_("The command could not be completed."), N_("Error"),
                           MB_OK);
        } catch (...) {
        }
    }
}

bool CTavrinApp::IsCommandEnabled(int id) const {
    const CommandEntry* entry = FindCommand(id);
    return !entry || entry->enabled;
}

QStringList CTavrinApp::RecentFileMenuTexts() const {
    QStringList texts;
    for (int i = 0; i < m_recentFiles.Files().size(); ++i) texts.append(m_recentFiles.MenuText(i));
    return texts;
}

void CTavrinApp::OnFileNew() {
    auto doc = std::make_unique<CTavrinDoc>();
    if (!doc->OnNewDocument()) return;
    doc->SetTitle(QStringLiteral("Tavrin%1").arg(++m_nUntitledCount));
    m_pMainWnd->AddDocumentWindow(std::move(doc));
}

void CTavrinApp::OnFileOpen() {
    QFileDialog dialog(m_pMainWnd.get(), ShownText(N_("Open")));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(ShownText(N_("All files (*)")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    OpenDocumentFile(dialog.selectedFiles().constFirst());
}

CChildFrame* CTavrinApp::OpenDocumentFile(const QString& path) {
    auto doc = std::make_unique<CTavrinDoc>();
    QString reason;
    if (!doc->OnOpenDocument(path, &reason)) {
        const tr::Message text = tr::Message::Lines(
            {tr::Message(N_("Cannot open %s."), {FromQString(QDir::toNativeSeparators(path))}),
             FromQString(reason)});
        ShowMessageBox(m_pMainWnd.get(), text, LoadString(IDS_APP_TITLE), MB_OK);
        return nullptr;
    }
    m_recentFiles.Add(doc->GetPathName());
    SaveStdProfileSettings();
    return m_pMainWnd->AddDocumentWindow(std::move(doc));
}

void CTavrinApp::OnOpenRecentFile(int index) {
    if (index < 0 || index >= m_recentFiles.Files().size()) return;
    const QString path = m_recentFiles.Files()[index];
    if (!OpenDocumentFile(path)) {
        // A file that has gone away would fail every time; stop offering it.
        m_recentFiles.Remove(static_cast<int>(m_recentFiles.Files().indexOf(path)));
        SaveStdProfileSettings();
    }
}

void CTavrinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->close();
}

void CTavrinApp::OnAbout() {
    CAboutDlg aboutDlg;
    aboutDlg.DoModal(m_pMainWnd.get());
}

void CTavrinApp::OnTestBegin() {
    // Fresh pages for every run: no score, answer or open file survives from the last one.
    // Declared in tab order, so they are destroyed in reverse order, which closes any file a
    // page still holds.
    CLatinPage latinPage;
    CEnglishPage englishPage;
    CWordPage wordPage;
    // Every marked answer goes to the student's store, opened with the first one; when it
    // cannot be written, one line on standard error says so, and the test goes on as ever.
    progress::CAnswerRecorder recorder(progress::StoreChoice::FromEnvironment(), "tavrin",
                                       std::cerr);
    for (CTestPage* page :
         {static_cast<CTestPage*>(&latinPage), static_cast<CTestPage*>(&englishPage),
          static_cast<CTestPage*>(&wordPage)}) {
        page->SetAnswerLog(&recorder);
    }
    RunPropertySheet(N_("Tavrin Tutor"), {&latinPage, &englishPage, &wordPage}, m_pMainWnd.get());
}

void CTavrinApp::OnChangeOrder() {
    // Its file dialog and message boxes have no owner window.
    auto ownerless = MakeOwnerlessWindow();
    ChangeOrder(*ownerless);
}

void CTavrinApp::OnMakeVocFile() {
    // A fresh dialog every time, so no output file is open when it starts.
    CMakeVoc makeVoc;
    RunModalDialog(makeVoc, m_pMainWnd.get());
}

int CAboutDlg::DoModal(QWidget* owner) { return RunModalDialog(IDD_ABOUTBOX, owner); }
