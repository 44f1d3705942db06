#include "shell/doc_tab_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace vrs {

namespace {

const QColor kInactiveText(160, 160, 164);
constexpr int kIconLeft = 2;
constexpr int kIconTop = 2;
constexpr int kTextLeft = 22;
constexpr int kTextTop = 3;

} // namespace

TDocTabBar::TDocTabBar(QWidget *parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("tsMain"));
    setShape(QTabBar::RoundedNorth);
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideNone);
    setMouseTracking(true);
}

int TDocTabBar::AddDocument(QObject *window, const QString &text, const QIcon &icon)
{
    const int index = addTab(icon, text);
    setTabData(index, QVariant::fromValue(window));
    return index;
}

int TDocTabBar::IndexOf(const QObject *window) const
{
    for (int i = 0; i < count(); ++i)
        if (WindowAt(i) == window)
            return i;
    return -1;
}

QObject *TDocTabBar::WindowAt(int index) const
{
    return tabData(index).value<QObject *>();
}

int TDocTabBar::TextHeight() const
{
    // The full line height of "0", as the layout of the tabs was measured.
    return QFontMetrics(font()).height();
}

QFont TDocTabBar::TabFont(bool selected) const
{
    QFont f = font();
    f.setBold(selected);
    f.setItalic(!selected);
    return f;
}

QRect TDocTabBar::CloseBoxRect(int index) const
{
    const QRect r = tabRect(index);
    const int h = TextHeight();
    return QRect(r.right() - 2 - h, r.top() + 4, h, h);
}

QSize TDocTabBar::tabSizeHint(int index) const
{
    const int h = TextHeight();
    const int textWidth =
        QFontMetrics(TabFont(index == currentIndex())).horizontalAdvance(tabText(index));
    return QSize(textWidth + 2 * h + 16, qMax(22, QFontMetrics(font()).height() + 10));
}

QSize TDocTabBar::minimumTabSizeHint(int index) const
{
    return tabSizeHint(index);
}

void TDocTabBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (int i = 0; i < count(); ++i) {
        const QRect r = tabRect(i);
        const bool selected = i == currentIndex();

        p.fillRect(r, selected ? palette().base() : palette().button());
        p.setPen(selected ? palette().color(QPalette::ButtonText)
                          : palette().color(QPalette::Dark));
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topRight(), r.bottomRight());
        if (!selected)
            p.drawLine(r.bottomLeft(), r.bottomRight());

        tabIcon(i).paint(&p, QRect(r.left() + kIconLeft, r.top() + kIconTop, 16, 16));

        const QFont f = TabFont(selected);
        p.setFont(f);
        p.setPen(selected ? QColor(Qt::black) : kInactiveText);
        p.save();
        p.setClipRect(r);
        p.drawText(r.left() + kTextLeft, r.top() + kTextTop + QFontMetrics(f).ascent(),
                   tabText(i));
        p.restore();

        const QRect box = CloseBoxRect(i);
        p.setPen(palette().color(QPalette::Dark));
        p.setBrush(palette().button());
        p.drawRoundedRect(box, 2, 2);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(box.left() + 1, box.top() + 1, box.right() - 1, box.top() + 1);
        const QRect inner = box.adjusted(1, 1, 0, 0);
        QPen cross(selected ? QColor(Qt::black) : kInactiveText, 2);
        p.setPen(cross);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.drawLine(QPoint(inner.left() + 2, inner.top() + 2),
                   QPoint(inner.right() - 3, inner.bottom() - 3));
        p.drawLine(QPoint(inner.right() - 3, inner.top() + 2),
                   QPoint(inner.left() + 2, inner.bottom() - 3));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
    }
}

void TDocTabBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const int index = tabAt(event->position().toPoint());
        if (index < 0)
            return;
        if (CloseBoxRect(index).contains(event->position().toPoint())) {
            emit CloseRequested(WindowAt(index));
            return;
        }
    }
    QTabBar::mousePressEvent(event);
}

void TDocTabBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = tabAt(event->position().toPoint());
    if (index >= 0)
        emit CloseRequested(WindowAt(index));
}

void TDocTabBar::mouseMoveEvent(QMouseEvent *event)
{
    QTabBar::mouseMoveEvent(event);
    const int index = tabAt(event->position().toPoint());
    if (index < 0) {
        ClearHint();
        return;
    }
    QToolTip::showText(event->globalPosition().toPoint(), tabText(index), this);
    emit HintChanged(tabText(index));
}

void TDocTabBar::leaveEvent(QEvent *event)
{
    QTabBar::leaveEvent(event);
    ClearHint();
}

void TDocTabBar::ClearHint()
{
    QToolTip::hideText();
    emit HintChanged(QString());
}

} // namespace vrs
