#pragma once

// What a person would see wrong on a page at a glance: a text that does not
// fit its control (cut at the edge, or lines lost below it) and controls
// drawn over one another. Measured with each control's own font and style,
// so it holds at any scale factor and with whatever fonts the machine has.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <QWidget>

namespace PageLayoutCheck {

namespace detail {

// How far a text may run past its room before a person would notice:
// rounding in the font's metrics, not a lost glyph.
constexpr int kSlack = 1;

inline QString describe(const QWidget& w)
{
    const QString name = w.objectName().isEmpty() ? QStringLiteral("(unnamed)") : w.objectName();
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(w.metaObject()->className()), name);
}

// The text as drawn when '&' marks a key: the marker is not shown.
inline QString withoutMnemonic(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// The size the label's text needs when laid out in room.
inline QSize labelTextSize(const QLabel& label, const QRect& room)
{
    const QString text = label.text();
    const bool rich
        = label.textFormat() == Qt::RichText || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    if (rich) {
        QTextDocument doc;
        doc.setDefaultFont(label.font());
        doc.setDocumentMargin(0);
        doc.setHtml(text);
        if (label.wordWrap())
            doc.setTextWidth(room.width());
        const QSizeF size = doc.size();
        return QSize(qCeil(label.wordWrap() ? size.width() : doc.idealWidth()), qCeil(size.height()));
    }
    // A label shows its '&' unless it marks a key (a buddy's, or a label
    // drawn like a button caption that names one).
    const bool mnemonic = label.buddy() || label.inherits("StepLabel");
    const QString shown = mnemonic ? withoutMnemonic(text) : text;
    int flags = int(label.alignment());
    if (label.wordWrap())
        flags |= Qt::TextWordWrap;
    return label.fontMetrics().boundingRect(QRect(0, 0, room.width(), 100000), flags, shown).size();
}

inline QString cutMessage(const QWidget& w, const QString& text, const QSize& need, const QSize& room)
{
    return QStringLiteral("%1: text \"%2\" is cut (needs %3x%4 px, has %5x%6)")
        .arg(describe(w), text)
        .arg(need.width())
        .arg(need.height())
        .arg(room.width())
        .arg(room.height());
}

inline bool exceeds(const QSize& need, const QSize& room)
{
    return need.width() > room.width() + kSlack || need.height() > room.height() + kSlack;
}

inline void checkLabel(const QLabel& label, QStringList& out)
{
    if (label.text().isEmpty())
        return;
    const int m = label.margin();
    const QRect room = label.contentsRect().adjusted(m, m, -m, -m);
    const QSize need = labelTextSize(label, room);
    if (exceeds(need, room.size()))
        out << cutMessage(label, label.text(), need, room.size());
}

// A button's caption (and icon) against the room its style gives them.
inline void checkButton(const QAbstractButton& button, QStringList& out)
{
    if (button.text().isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QRadioButton*>(&button))
        contents = QStyle::SE_RadioButtonContents;
    else if (qobject_cast<const QCheckBox*>(&button))
        contents = QStyle::SE_CheckBoxContents;
    const QRect room = button.style()->subElementRect(contents, &option, &button);
    QSize need = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    if (!button.icon().isNull())
        need.rwidth() += button.iconSize().width() + 4;
    // Radio and check captions start past their indicator; a push
    // button's is centred in its frame.
    if (exceeds(need, room.size()))
        out << cutMessage(button, withoutMnemonic(button.text()), need, room.size());
}

// A widget that lays out its own parts (a list's viewport, header and
// scroll bars; a combo box's popup): those are Qt's business, not the
// page's.
inline bool ownsItsParts(const QWidget& w)
{
    return qobject_cast<const QAbstractScrollArea*>(&w) || qobject_cast<const QComboBox*>(&w)
        || qobject_cast<const QAbstractSpinBox*>(&w);
}

// Whether inner (a sibling of the view) lies over any of the view's rows
// as they are drawn now.
inline bool coversRows(const QAbstractItemView& view, const QWidget& inner)
{
    const QAbstractItemModel* model = view.model();
    if (!model)
        return false;
    const QWidget* parent = view.parentWidget();
    for (int row = 0; row < model->rowCount(view.rootIndex()); ++row) {
        const QRect drawn = view.visualRect(model->index(row, 0, view.rootIndex()));
        if (!drawn.isValid())
            continue;
        // The whole width of the row, in the parent's coordinates.
        const QRect line(
            view.viewport()->mapTo(parent, QPoint(0, drawn.top())), QSize(view.viewport()->width(), drawn.height()));
        if (line.intersects(inner.geometry()))
            return true;
    }
    return false;
}

// Shows nothing at all: a label without text, picture or frame.
inline bool blank(const QWidget& w)
{
    const auto* label = qobject_cast<const QLabel*>(&w);
    return label && label->text().isEmpty() && label->pixmap().isNull() && label->frameShape() == QFrame::NoFrame
        && !label->autoFillBackground();
}

// A sibling that holds the other within its bounds and shows nothing of
// its own there: a frame, a group box, a bare panel, a list where it has
// no rows (a placeholder over it, say a search's animation).
inline bool holds(const QWidget& outer, const QWidget& inner)
{
    if (!outer.geometry().contains(inner.geometry()))
        return false;
    if (qobject_cast<const QGroupBox*>(&outer))
        return true;
    if (const auto* view = qobject_cast<const QAbstractItemView*>(&outer))
        return !coversRows(*view, inner);
    if (const auto* label = qobject_cast<const QLabel*>(&outer))
        return label->text().isEmpty();
    return outer.metaObject() == &QFrame::staticMetaObject || outer.metaObject() == &QWidget::staticMetaObject;
}

inline void checkSiblings(const QWidget& parent, QStringList& out)
{
    QList<const QWidget*> shown;
    for (const QObject* child : parent.children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (w && !w->isWindow() && w->isVisibleTo(&parent) && !w->geometry().isEmpty() && !blank(*w))
            shown << w;
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            const QWidget& a = *shown[i];
            const QWidget& b = *shown[j];
            if (!a.geometry().intersects(b.geometry()) || holds(a, b) || holds(b, a))
                continue;
            const QRect both = a.geometry().intersected(b.geometry());
            out << QStringLiteral("%1 and %2 overlap by %3x%4 px at (%5,%6)")
                       .arg(describe(a), describe(b))
                       .arg(both.width())
                       .arg(both.height())
                       .arg(both.x())
                       .arg(both.y());
        }
    }
    for (const QWidget* w : shown) {
        if (ownsItsParts(*w))
            continue;
        checkSiblings(*w, out);
    }
}

inline void checkTexts(const QWidget& parent, QStringList& out)
{
    for (const QObject* child : parent.children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (!w || w->isWindow() || !w->isVisibleTo(&parent))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w))
            checkLabel(*label, out);
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            checkButton(*button, out);
        if (!ownsItsParts(*w))
            checkTexts(*w, out);
    }
}

} // namespace detail

// Every cut text and every overlap among the page's visible controls, one
// line each naming the control (class and object name) and its text; empty
// when the page looks right. The page need not be on screen: what counts is
// what would show were it.
inline QStringList faults(const QWidget& page)
{
    QStringList out;
    detail::checkTexts(page, out);
    detail::checkSiblings(page, out);
    return out;
}

} // namespace PageLayoutCheck
