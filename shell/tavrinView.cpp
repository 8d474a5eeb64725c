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

QSize CTavrinView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return widget()->size() + QSize(frame, frame);
}
