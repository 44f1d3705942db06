#include "shell/mdi_arrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace vrs {

namespace {

QList<QMdiSubWindow *> Windows(QMdiArea *area, bool minimized)
{
    QList<QMdiSubWindow *> result;
    const QList<QMdiSubWindow *> all = area->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *w : all)
        if (w->isVisible() && w->isMinimized() == minimized)
            result << w;
    return result;
}

// The area left above the row of minimised windows.
QRect FreeRect(QMdiArea *area)
{
    QRect r = area->viewport()->rect();
    const QList<QMdiSubWindow *> icons = Windows(area, true);
    if (!icons.isEmpty())
        r.setBottom(r.bottom() - icons.first()->height());
    return r;
}

void Tile(QMdiArea *area, bool bands)
{
    const QList<QMdiSubWindow *> windows = Windows(area, false);
    if (windows.isEmpty())
        return;
    const QRect free = FreeRect(area);
    const int n = windows.size();
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows.at(i);
        if (w->isMaximized())
            w->showNormal();
        QRect r;
        if (bands) {
            const int h = free.height() / n;
            r = QRect(free.left(), free.top() + i * h, free.width(),
                      i == n - 1 ? free.height() - i * h : h);
        } else {
            const int wd = free.width() / n;
            r = QRect(free.left() + i * wd, free.top(), i == n - 1 ? free.width() - i * wd : wd,
                      free.height());
        }
        w->setGeometry(r);
    }
}

} // namespace

void TileHorizontally(QMdiArea *area)
{
    Tile(area, true);
}

void TileVertically(QMdiArea *area)
{
    Tile(area, false);
}

void MinimizeAll(QMdiArea *area)
{
    const QList<QMdiSubWindow *> all = area->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *w : all)
        w->showMinimized();
    ArrangeIcons(area);
}

void ArrangeIcons(QMdiArea *area)
{
    const QList<QMdiSubWindow *> icons = Windows(area, true);
    const QRect r = area->viewport()->rect();
    int x = r.left();
    int y = r.bottom() + 1;
    for (QMdiSubWindow *w : icons) {
        if (x > r.left() && x + w->width() > r.right() + 1) {
            x = r.left();
            y -= w->height();
        }
        w->move(x, y - w->height());
        x += w->width();
    }
}

} // namespace vrs
