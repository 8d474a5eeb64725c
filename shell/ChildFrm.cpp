#include "ChildFrm.h"

#include <QIcon>

#include "tavrinView.h"

CChildFrame::CChildFrame(std::unique_ptr<CTavrinDoc> doc, QWidget* parent)
    : QMdiSubWindow(parent), m_pDocument(std::move(doc)), m_pView(new CTavrinView(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_pView);
    setWindowTitle(m_pDocument->GetTitle());
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/129.png"));
    icon.addFile(QStringLiteral(":/icons/129-16.png"));
    setWindowIcon(icon);
}

CChildFrame::~CChildFrame() = default;
