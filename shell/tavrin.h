// The application object: start-up, the recent-file list and every menu command. It owns the
// main window; each command builds its own windows, runs them to the end and destroys them, so
// nothing carries over from one command to the next.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "MainFrm.h"
#include "RecentFileList.h"

class CChildFrame;

class CTavrinApp : public ICommandTarget {
public:
    CTavrinApp();
    ~CTavrinApp() override;
    CTavrinApp(const CTavrinApp&) = delete;
    CTavrinApp& operator=(const CTavrinApp&) = delete;

    // Loads the settings, builds the main window, opens a new document (no file given) or
    // `file`, and shows the main window. Returns false when the window or the document could not
    // be made; the reason has then been shown to the user.
    bool InitInstance(const QString& file = QString());

    CMainFrame* GetMainWnd() const { return m_pMainWnd.get(); }
    const CRecentFileList& RecentFiles() const { return m_recentFiles; }

    // Runs command `id`. No exception leaves here: anything a handler lets slip is shown in a
    // message box and the program carries on.
    void OnCommand(int id) override;
    bool IsCommandEnabled(int id) const override;
    QStringList RecentFileMenuTexts() const override;

    // Opens `path` as a document in a new document window and puts it at the top of the recent
    // files. A file that cannot be opened is reported and gets no window. Returns the window.
    CChildFrame* OpenDocumentFile(const QString& path);

    void OnAbout();
    void OnTestBegin();
    void OnChangeOrder();
    void OnMakeVocFile();

private:
    struct CommandEntry {
        int id;
        void (CTavrinApp::*handler)();
        bool enabled;  // false: the menu item shows greyed
    };
    static const CommandEntry kCommands[];
    static const CommandEntry* FindCommand(int id);

    void LoadStdProfileSettings();
    void SaveStdProfileSettings() const;
    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(int index);
    void OnAppExit();

    std::unique_ptr<CMainFrame> m_pMainWnd;
    CRecentFileList m_recentFiles{4};
    int m_nUntitledCount = 0;  // running number of the last new document's title
};

// The About box: the About template with its picture; OK closes it.
class CAboutDlg {
public:
    // Runs the box modally over `owner`.
    int DoModal(QWidget* owner);
};
