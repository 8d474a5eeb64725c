#include "TemplateForm.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTextLayout>
#include <QValidator>
#include <algorithm>
#include <cmath>

#include "Lowercase.h"
#include "QtWindows.h"

namespace {

constexpr int kMinPointSize = 9;

// Turns every letter to lower case as it is typed, pasted or set, in any alphabet, by the rule
// that the comparison of answers lowers the file's side with. Doing it in validate() covers
// all three, where a key filter would miss paste and drops.
class CLowercaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        const QString lowered = QString::fromStdString(LowerAsTyped(input.toStdString()));
        if (lowered != input) {
            // A few letters lower to more than one code unit; keep the cursor inside the text.
            pos = std::min<int>(pos + int(lowered.size() - input.size()), int(lowered.size()));
            pos = std::max(pos, 0);
            input = lowered;
        }
        return Acceptable;
    }
};

// Paints what CutToFit gives when a text does not fit, as QLabel paints it otherwise.
class CEllipsisLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        const QStringList lines = CutToFit(text(), font(), contentsRect().size(), wordWrap());
        if (lines.isEmpty()) return QLabel::paintEvent(event);
        QPainter painter(this);
        QRect line = contentsRect();
        line.setHeight(fontMetrics().lineSpacing());
        for (const QString& shown : lines) {
            style()->drawItemText(&painter, line, int(alignment()), palette(), isEnabled(), shown,
                                  foregroundRole());
            line.translate(0, line.height());
        }
    }
};

// Breaks `text` into lines at blanks so that each fits `width` where it can.
QString WrapWords(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = lines.isEmpty() ? word : lines.back() + u' ' + word;
        if (lines.isEmpty() || metrics.horizontalAdvance(StripMnemonic(longer)) <= width) {
            if (lines.isEmpty())
                lines << word;
            else
                lines.back() = longer;
        } else {
            lines << word;
        }
    }
    return lines.join(u'\n');
}

bool FontExists(const QFont& font) {
    // Where two foundries offer a family, the match comes back as "Family [foundry]".
    QString found = QFontInfo(font).family();
    if (const qsizetype bracket = found.indexOf(QStringLiteral(" [")); bracket > 0)
        found.truncate(bracket);
    return found.compare(font.family(), Qt::CaseInsensitive) == 0;
}

}  // namespace

QStringList CutToFit(const QString& text, const QFont& font, QSize box, bool wrap) {
    const QFontMetrics metrics(font);
    if (!wrap) {
        if (metrics.horizontalAdvance(text) <= box.width()) return {};
        return {metrics.elidedText(text, Qt::ElideRight, box.width())};
    }
    const int room = std::max(1, box.height() / metrics.lineSpacing());
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    bool more = false;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        if (lines.size() == room) {
            more = true;
            break;
        }
        lines.append(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    if (!more) return {};
    QString& last = lines.back();
    last = last.trimmed() + QChar(0x2026);
    if (metrics.horizontalAdvance(last) > box.width()) {
        last = metrics.elidedText(last, Qt::ElideRight, box.width());
    }
    return lines;
}

DialogUnits DialogUnits::ForFont(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    DialogUnits units;
    units.baseX = metrics.horizontalAdvance(letters) / letters.size();
    units.baseY = QFontMetrics(font).height();
    return units;
}

int DialogUnits::X(int units) const { return int(std::lround(units * baseX / 4.0)); }
int DialogUnits::Y(int units) const { return int(std::lround(units * baseY / 8.0)); }

QRect DialogUnits::Rect(int x, int y, int cx, int cy) const {
    // Convert both edges, not the size, so neighbours that touch in units touch in pixels.
    const int left = X(x), top = Y(y);
    return QRect(left, top, X(x + cx) - left, Y(y + cy) - top);
}

QFont TemplateFont(const DialogTemplate& templ) {
    const int points = std::max(templ.pointSize, kMinPointSize);
    if (templ.fontName == "Wide Latin") {
        QFont wide(QStringLiteral("URW Bookman"), points, QFont::Bold);
        if (FontExists(wide)) return wide;
        QFont serif(QStringLiteral("serif"), points, QFont::Bold);
        serif.setStyleHint(QFont::Serif);
        return serif;
    }
    QFont font = QApplication::font();
    font.setPointSize(points);
    return font;
}

QString StripMnemonic(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            // "&&" stands for one "&"; a single "&" only marks the letter after it.
            if (i + 1 < text.size()) out += text[++i];
            continue;
        }
        out += text[i];
    }
    return out;
}

CTemplateForm::CTemplateForm(const DialogTemplate& templ, QWidget* parent)
    : QWidget(parent), m_templ(templ) {
    setFont(TemplateFont(templ));
    m_units = DialogUnits::ForFont(font());
    m_clientSize = QSize(m_units.X(templ.cx), m_units.Y(templ.cy));
    setObjectName(QStringLiteral("template%1").arg(templ.id));
    Build();
    setMinimumSize(m_clientSize);
    resize(m_clientSize);
}

void CTemplateForm::Build() {
    // Creation order is the tab order, so creating in template order gives the template's.
    int index = 0;
    for (const auto& c : m_templ.controls) {
        QWidget* w = nullptr;
        switch (c.kind) {
            case ControlKind::Static:
                w = MakeStatic(c);
                break;
            case ControlKind::Edit:
                w = MakeEdit(c);
                break;
            case ControlKind::PushButton:
                w = MakeButton(c);
                break;
            case ControlKind::Picture:
                w = MakePicture(c);
                break;
        }
        m_widgets.push_back(w);
        if (c.id != IDC_STATIC) {
            w->setObjectName(QStringLiteral("ctl%1").arg(c.id));
            m_controls[c.id] = w;
        } else {
            w->setObjectName(QStringLiteral("label%1").arg(index));
        }
        ++index;
    }
    // Labels name the boxes they introduce, now that every box exists.
    for (const auto& c : m_templ.controls) {
        if (c.kind != ControlKind::Static || c.labelFor == 0) continue;
        QWidget* target = Control(c.labelFor);
        if (!target) continue;
        const QString label = ShownText(c.text).trimmed();
        if (qobject_cast<QLineEdit*>(target)) {
            target->setAccessibleName(label);
            // The buddy also tells assistive tools which label belongs to which box.
            static_cast<QLabel*>(m_widgets[std::size_t(&c - m_templ.controls.data())])
                ->setBuddy(target);
        } else {
            target->setAccessibleDescription(label);
            UpdateDisplayName(c.labelFor);
        }
    }
    for (std::size_t i = 0; i < m_widgets.size(); ++i) {
        if (m_templ.controls[i].kind != ControlKind::Static) continue;
        FitOneLine(static_cast<QLabel*>(m_widgets[i]), m_templ.controls[i]);
    }
}

void CTemplateForm::FitOneLine(QLabel* label, const ControlTemplate& c) {
    if (label->wordWrap()) return;
    // Our fonts are wider than the one the layout was drawn for: a one-line text may run on to
    // the right, into free space, up to the next control beside it or the edge of the form.
    const QRect own = m_units.Rect(c.x, c.y, c.cx, c.cy);
    int limit = m_clientSize.width() - m_units.X(2);
    for (const auto& other : m_templ.controls) {
        if (&other == &c) continue;
        const QRect r = m_units.Rect(other.x, other.y, other.cx, other.cy);
        const bool beside = r.top() <= own.bottom() && r.bottom() >= own.top();
        if (beside && r.left() >= own.right()) limit = std::min(limit, r.left() - m_units.X(2));
    }
    const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 1;
    label->resize(std::max(own.width(), std::min(needed, limit - own.left())), own.height());
}

QWidget* CTemplateForm::MakeStatic(const ControlTemplate& c) {
    auto* label = new CEllipsisLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setText(ShownText(c.text));
    label->setAlignment((c.style & csCenter ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setGeometry(m_units.Rect(c.x, c.y, c.cx, c.cy));
    // A box tall enough for two lines wraps at words; a one-line box keeps its one line, since
    // a wrapped second line would fall outside it.
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    label->setWordWrap(label->height() >= 2 * lineHeight - 1);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

QWidget* CTemplateForm::MakeEdit(const ControlTemplate& c) {
    auto* edit = new QLineEdit(this);
    edit->setFrame((c.style & csBorder) != 0);
    if (c.style & csLowercase) edit->setValidator(new CLowercaseValidator(edit));
    edit->setText(ToQString(c.text));
    edit->setGeometry(m_units.Rect(c.x, c.y, c.cx, c.cy));
    edit->setFocusPolicy(c.style & csTabStop ? Qt::StrongFocus : Qt::ClickFocus);
    return edit;
}

QWidget* CTemplateForm::MakeButton(const ControlTemplate& c) {
    const QRect rect = m_units.Rect(c.x, c.y, c.cx, c.cy);
    // A thin sunken edge around a button is a frame of its own that holds the button.
    QFrame* edge = nullptr;
    if (c.style & csStaticEdge) {
        edge = new QFrame(this);
        edge->setObjectName(QStringLiteral("edge%1").arg(c.id));
        edge->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        edge->setLineWidth(1);
        edge->setGeometry(rect);
    }
    auto* button = new QPushButton(edge ? static_cast<QWidget*>(edge) : this);
    button->setGeometry(edge ? edge->contentsRect() : rect);
    QString text = ShownText(c.text);
    if (c.style & csMultiline) text = WrapWords(text, button->fontMetrics(), button->width() - 8);
    button->setText(text);
    // After the text, which sets the mnemonic's shortcut and so would drop this one.
    if (c.accessKey) button->setShortcut(QKeySequence(Qt::ALT | Qt::Key(c.accessKey)));
    // Every button in a QDialog is an auto-default unless told otherwise; only the template's
    // own default button may answer Enter.
    button->setAutoDefault(false);
    if (c.style & csDefault) {
        button->setDefault(true);
        m_defaultButton = button;
    }
    button->setAccessibleName(StripMnemonic(text).simplified());
    button->setFocusPolicy(c.style & csTabStop ? Qt::StrongFocus : Qt::ClickFocus);
    const int id = c.id;
    connect(button, &QPushButton::clicked, this, [this, id] {
        if (m_onCommand) m_onCommand(id);
    });
    return button;
}

QWidget* CTemplateForm::MakePicture(const ControlTemplate& c) {
    auto* picture = new QLabel(this);
    const QPixmap pixmap(QStringLiteral(":/bitmaps/%1.png").arg(c.bitmap));
    if (!pixmap.isNull()) picture->setPixmap(pixmap);
    picture->setAlignment(Qt::AlignCenter);
    if (c.style & (csBorder | csSunken | csStaticEdge)) {
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picture->setLineWidth(1);
    }
    QRect rect = m_units.Rect(c.x, c.y, c.cx, c.cy);
    if (c.cx == 0 || c.cy == 0) {
        // A picture sized 0 takes the size of its bitmap.
        const QSize own = pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize();
        const int frame = 2 * picture->frameWidth();
        rect.setSize(QSize(c.cx ? rect.width() : own.width() + frame,
                           c.cy ? rect.height() : own.height() + frame));
    }
    picture->setGeometry(rect);
    picture->setFocusPolicy(Qt::NoFocus);
    return picture;
}

QWidget* CTemplateForm::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QWidget* CTemplateForm::FirstTabStop() const {
    for (QWidget* w : m_widgets) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) return w;
    }
    return nullptr;
}

QString CTemplateForm::LabelTextFor(int id) const {
    for (const auto& c : m_templ.controls) {
        if (c.kind == ControlKind::Static && c.labelFor == id) return ShownText(c.text).trimmed();
    }
    return QString();
}

void CTemplateForm::UpdateDisplayName(int id) {
    auto* label = qobject_cast<QLabel*>(Control(id));
    if (!label) return;
    // A screen reader announces what the display shows; an empty display says what it is for.
    const QString text = label->text().trimmed();
    label->setAccessibleName(text.isEmpty() ? LabelTextFor(id) : label->text());
    // A display is one line; where the text runs past its edge, the whole of it is one hover away.
    const bool cut = label->fontMetrics().horizontalAdvance(label->text()) > label->width();
    label->setToolTip(cut ? label->text() : QString());
}

void CTemplateForm::SetText(int id, const std::string& bytes) {
    QWidget* w = Control(id);
    if (!w) return;
    // The program's own words are translated; a file's words are shown as they are.
    const ControlTemplate* templ = m_templ.Find(id);
    const QString text = templ && (templ->style & csOwnWords) ? ShownText(bytes) : ToQString(bytes);
    QString shown = text;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(text);
        shown = edit->text();  // a lower-case box may have changed it
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
        if (templ) FitOneLine(label, *templ);
        UpdateDisplayName(id);
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->setText(text);
        button->setAccessibleName(StripMnemonic(text));
    }
    if (shown == text) {
        m_setBytes[id] = {bytes, shown};
    } else {
        m_setBytes.erase(id);
    }
}

void CTemplateForm::FocusControl(int id) {
    QWidget* w = Control(id);
    if (!w) return;
    // A widget of a window not yet active takes the focus when the window comes back (after a
    // file dialog, say); one that has the focus already gets no focus event, so select here.
    w->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

void CTemplateForm::SetDescription(int id, const tr::Message& text) {
    // The logic's own words around the file's, as a screen reader says them.
    if (QWidget* w = Control(id)) w->setAccessibleDescription(ShownText(text));
}

std::string CTemplateForm::Text(int id) const {
    QWidget* w = Control(id);
    if (!w) return std::string();
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        text = edit->text();
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        text = label->text();
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        text = button->text();
    }
    auto it = m_setBytes.find(id);
    if (it != m_setBytes.end() && it->second.shown == text) return it->second.bytes;
    return FromQString(text);
}
