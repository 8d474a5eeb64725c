// The widgets of one dialog template, built generically from its data in res/.
//
// A CTemplateForm is the client area of a dialog or test page: every control of the template,
// placed by converting dialog units to pixels from the template font, in template tab order,
// each named "ctl<id>" (or "label<index>" when it has no id). It knows nothing of logic: button
// clicks go to the one callback it is given.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Resource.h"
#include "Tr.h"

class QLabel;
class QPushButton;

// Pixels per dialog unit of one font, the classic way: a horizontal unit is a quarter of the
// average width of the Latin letters, a vertical unit an eighth of the font height.
struct DialogUnits {
    double baseX = 0;
    double baseY = 0;

    static DialogUnits ForFont(const QFont& font);
    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int cx, int cy) const;
};

// The font a template asks for, as it exists here: the desktop's sans family in place of the
// old system dialog font, a wide bold serif in place of a wide display face, never below 9 pt.
QFont TemplateFont(const DialogTemplate& templ);

// The text a button shows, without its mnemonic marks: "&Begin Test" -> "Begin Test".
QString StripMnemonic(const QString& text);

// How a static text that does not fit its box of `box` pixels is shown: on one line (`wrap`
// false) cut with an ellipsis; wrapped, the lines that fit, the last one ending in an
// ellipsis. Empty when the whole text fits, so that the label shows it as usual.
QStringList CutToFit(const QString& text, const QFont& font, QSize box, bool wrap);

class CTemplateForm : public QWidget {
public:
    CTemplateForm(const DialogTemplate& templ, QWidget* parent);

    const DialogTemplate& Template() const { return m_templ; }
    const DialogUnits& Units() const { return m_units; }

    // The widget built for control `id`, or nullptr.
    QWidget* Control(int id) const;
    // The first control that Tab stops at, or nullptr.
    QWidget* FirstTabStop() const;
    // The template's default push button, or nullptr when it has none.
    QPushButton* DefaultButton() const { return m_defaultButton; }

    // Called with the control id of every button clicked.
    void SetCommandHandler(std::function<void(int)> handler) { m_onCommand = std::move(handler); }

    // Control texts as the logic sees them: bytes in, bytes out. A text read back unchanged
    // returns the very bytes that were set, even where they were not valid UTF-8.
    void SetText(int id, const std::string& bytes);
    std::string Text(int id) const;

    // Gives control `id` the focus; an edit box gets its whole text selected, as by a Tab.
    void FocusControl(int id);
    // Sets the accessible description of control `id`.
    void SetDescription(int id, const tr::Message& text);

    QSize sizeHint() const override { return m_clientSize; }
    QSize minimumSizeHint() const override { return m_clientSize; }

private:
    void Build();
    QWidget* MakeStatic(const ControlTemplate& c);
    QWidget* MakeEdit(const ControlTemplate& c);
    QWidget* MakeButton(const ControlTemplate& c);
    QWidget* MakePicture(const ControlTemplate& c);
    QString LabelTextFor(int id) const;
    void FitOneLine(QLabel* label, const ControlTemplate& c);
    void UpdateDisplayName(int id);

    const DialogTemplate& m_templ;
    DialogUnits m_units;
    QSize m_clientSize;
    std::vector<QWidget*> m_widgets;  // in template order
    std::map<int, QWidget*> m_controls;
    QPushButton* m_defaultButton = nullptr;
    std::function<void(int)> m_onCommand;

    struct SetBytes {
        std::string bytes;
        QString shown;
    };
    std::map<int, SetBytes> m_setBytes;
};
