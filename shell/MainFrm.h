// The main window: caption, menu bar and the area that holds the document windows; no tool bar
// and no status bar. The menu bar shows the main menu while no document window is open and the
// document menu while at least one is. Every menu item and accelerator carries its command number
// and hands it to the application object, which decides what it does.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class CChildFrame;
class CTavrinDoc;
class QMdiArea;
class QMenu;

// What the main window needs of the application: somewhere to send commands and the list of
// recent files to show.
class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // Runs command `id`; a command without a handler does nothing.
    virtual void OnCommand(int id) = 0;
    // False for a command whose menu item shows greyed.
    virtual bool IsCommandEnabled(int id) const = 0;
    // The text of each recent-file entry, most recent first.
    virtual QStringList RecentFileMenuTexts() const = 0;
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(ICommandTarget& target);
    ~CMainFrame() override;

    // Builds the menus, accelerators, icon and title of resource `resourceId`. Returns false when
    // the resource has no menu.
    bool LoadFrame(int resourceId);

    // Adds a document window for `doc` and makes it the active one.
    CChildFrame* AddDocumentWindow(std::unique_ptr<CTavrinDoc> doc);
    // The open document windows, oldest first.
    QList<CChildFrame*> DocumentWindows() const { return m_frames; }
    // The active document window, or null. Stays set while a modal box has the focus.
    CChildFrame* ActiveDocumentWindow() const;
    QMdiArea* MdiArea() const { return m_pMdiArea; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus(int resourceId, QList<QAction*>& popups);
    void BuildAccelerators();
    QAction* MakeCommandAction(const QString& text, int command, QObject* parent);
    void FillRecentFiles();
    void OnDocumentWindowsChanged();
    void UpdateMenus();
    void UpdateCaption();

    ICommandTarget& m_target;
    QMdiArea* m_pMdiArea;
    QString m_strTitle;
    QList<QAction*> m_mainMenus;      // pop-ups of the main menu
    QList<QAction*> m_documentMenus;  // pop-ups of the document menu
    QList<QAction*> m_commandItems;   // every item that carries a command
    QMenu* m_pRecentMenu = nullptr;   // the File pop-up that shows the recent files
    QAction* m_pRecentPlaceholder = nullptr;
    QList<QAction*> m_recentItems;
    QList<CChildFrame*> m_frames;
};
