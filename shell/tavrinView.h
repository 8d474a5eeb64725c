// The welcome view: the welcome form at its own size. A window smaller than the form scrolls;
// a larger one leaves the rest empty. Nothing on it changes while the program runs.
#pragma once

#include <QScrollArea>

class CTavrinView : public QScrollArea {
    Q_OBJECT
public:
    explicit CTavrinView(QWidget* parent = nullptr);

    // The form built from the welcome template.
    QWidget* Form() const { return widget(); }

    // The whole form, however large its font makes it: a scroll area's own hint is capped.
    QSize sizeHint() const override;
};
