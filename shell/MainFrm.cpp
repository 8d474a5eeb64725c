#include "MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "ChildFrm.h"
#include "QtWindows.h"
#include "Resource.h"
#include "tavrinDoc.h"

namespace {

constexpr const char* kCommandProperty = "tavrinCommand";
constexpr const char* kGrayedProperty = "tavrinGrayed";

QString FromBytes(const std::string& text) { return QString::fromUtf8(text); }

}  // namespace

CMainFrame::CMainFrame(ICommandTarget& target) : m_target(target), m_pMdiArea(new QMdiArea(this)) {
    setObjectName(QStringLiteral("CMainFrame"));
    m_pMdiArea->setViewMode(QMdiArea::SubWindowView);
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateCaption);
}

CMainFrame::~CMainFrame() {
    // Document windows die with the area below; their last signals must not reach a half
    // destroyed main window.
    m_pMdiArea->disconnect(this);
    for (CChildFrame* frame : m_frames) frame->disconnect(this);
}

bool CMainFrame::LoadFrame(int resourceId) {
    if (FindMenu(resourceId).empty()) return false;
    m_strTitle = FromBytes(LoadString(resourceId));
    BuildMenus(resourceId, m_mainMenus);
    BuildMenus(IDR_TAVRINTYPE, m_documentMenus);
    BuildAccelerators();

    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/128.png"));
    icon.addFile(QStringLiteral(":/icons/128-16.png"));
    setWindowIcon(icon);
    // Dialogs and message boxes take the program's icon too.
    QApplication::setWindowIcon(icon);

    QSize size(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    resize(size);

    UpdateMenus();
    UpdateCaption();
    return true;
}

QAction* CMainFrame::MakeCommandAction(const QString& text, int command, QObject* parent) {
    auto* action = new QAction(text, parent);
    action->setProperty(kCommandProperty, command);
    connect(action, &QAction::triggered, this, [this, command] { m_target.OnCommand(command); });
    return action;
}

void CMainFrame::BuildMenus(int resourceId, QList<QAction*>& popups) {
    for (const MenuPopup& popup : FindMenu(resourceId)) {
        QMenu* menu = menuBar()->addMenu(ShownText(popup.title));
        popups.append(menu->menuAction());
        for (const MenuItem& item : popup.items) {
            if (item.text.empty()) {
                menu->addSeparator();
                continue;
            }
            QAction* action = MakeCommandAction(ShownText(item.text), item.command, menu);
            action->setProperty(kGrayedProperty, item.grayed);
            menu->addAction(action);
            m_commandItems.append(action);
            if (item.command == ID_FILE_MRU_FILE1 && !m_pRecentMenu) {
                m_pRecentMenu = menu;
                m_pRecentPlaceholder = action;
            }
        }
        // Enabled states are asked for each time a pop-up opens, so they follow the application;
        // until a pop-up is first opened its items must already show the right state.
        auto updateItems = [this, menu] {
            for (QAction* action : menu->actions()) {
                const QVariant command = action->property(kCommandProperty);
                if (!command.isValid() || m_recentItems.contains(action)) continue;
                action->setEnabled(!action->property(kGrayedProperty).toBool() &&
                                   m_target.IsCommandEnabled(command.toInt()));
            }
        };
        connect(menu, &QMenu::aboutToShow, this, [this, menu, updateItems] {
            updateItems();
            if (menu == m_pRecentMenu) FillRecentFiles();
        });
        updateItems();
    }
}

void CMainFrame::BuildAccelerators() {
    // The table belongs to the main window alone: dialogs and the test sheet are windows of their
    // own, where the edit boxes keep their usual editing keys.
    for (const Accelerator& accel : MainAccelerators()) {
        QAction* action = MakeCommandAction(QString(), accel.command, this);
        action->setShortcut(QKeySequence(QString::fromStdString(accel.keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void CMainFrame::FillRecentFiles() {
    for (QAction* action : m_recentItems) {
        m_pRecentMenu->removeAction(action);
        delete action;
    }
    m_recentItems.clear();
    const QStringList texts = m_target.RecentFileMenuTexts();
    for (int i = 0; i < texts.size(); ++i) {
        QAction* action = MakeCommandAction(texts[i], ID_FILE_MRU_FILE1 + i, m_pRecentMenu);
        m_pRecentMenu->insertAction(m_pRecentPlaceholder, action);
        m_recentItems.append(action);
    }
    m_pRecentPlaceholder->setVisible(texts.isEmpty());
}

CChildFrame* CMainFrame::AddDocumentWindow(std::unique_ptr<CTavrinDoc> doc) {
    auto* frame = new CChildFrame(std::move(doc));
    m_frames.append(frame);
    connect(frame, &QObject::destroyed, this, [this, frame] {
        m_frames.removeOne(frame);
        OnDocumentWindowsChanged();
    });
    // Qt rewrites the caption itself when a document window is maximised or restored; set ours
    // once it is done.
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateCaption,
            Qt::QueuedConnection);
    m_pMdiArea->addSubWindow(frame);
    frame->resize(frame->sizeHint());
    frame->show();
    m_pMdiArea->setActiveSubWindow(frame);
    OnDocumentWindowsChanged();
    return frame;
}

CChildFrame* CMainFrame::ActiveDocumentWindow() const {
    auto* current = qobject_cast<CChildFrame*>(m_pMdiArea->currentSubWindow());
    return m_frames.contains(current) ? current : nullptr;
}

void CMainFrame::OnDocumentWindowsChanged() {
    // Keep a document window active while any is left, as the menus and the caption expect.
    // Windows that are closing but not yet destroyed have already left the area.
    if (!ActiveDocumentWindow()) {
        const QList<QMdiSubWindow*> open = m_pMdiArea->subWindowList();
        for (auto it = m_frames.crbegin(); it != m_frames.crend(); ++it) {
            if (open.contains(*it)) {
                m_pMdiArea->setActiveSubWindow(*it);
                break;
            }
        }
    }
    UpdateMenus();
    UpdateCaption();
}

void CMainFrame::UpdateMenus() {
    const bool documentOpen = !m_frames.isEmpty();
    for (QAction* popup : m_mainMenus) popup->setVisible(!documentOpen);
    for (QAction* popup : m_documentMenus) popup->setVisible(documentOpen);
}

void CMainFrame::UpdateCaption() {
    const CChildFrame* active = ActiveDocumentWindow();
    if (!active) {
        setWindowTitle(m_strTitle);
    } else if (active->isMaximized()) {
        // The form Qt itself gives a maximised document's caption; anything else it would extend.
        setWindowTitle(
            QStringLiteral("%1 - [%2]").arg(m_strTitle, active->GetDocument().GetTitle()));
    } else {
        setWindowTitle(QStringLiteral("%1 - %2").arg(m_strTitle, active->GetDocument().GetTitle()));
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Documents are never modified, so nothing asks to be saved.
    m_pMdiArea->closeAllSubWindows();
    event->accept();
}
