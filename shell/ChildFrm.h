// A document window: one document and its welcome view inside the main window. Titled with the
// document's title and closed without a prompt, since documents are never modified.
#pragma once

#include <QMdiSubWindow>
#include <memory>

#include "tavrinDoc.h"

class CTavrinView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes ownership of `doc` and builds its view.
    explicit CChildFrame(std::unique_ptr<CTavrinDoc> doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTavrinDoc& GetDocument() const { return *m_pDocument; }
    CTavrinView* GetView() const { return m_pView; }

private:
    std::unique_ptr<CTavrinDoc> m_pDocument;
    CTavrinView* m_pView;
};
