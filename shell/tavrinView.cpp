#include "tavrinView.h"

#include "QtWindows.h"
#include "Resource.h"

CTavrinView::CTavrinView(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("CTavrinView"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    setWidget(CreateTemplateForm(IDD_TAVRIN_FORM, nullptr));
}
