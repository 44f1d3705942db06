#include "shell/pictures.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace vrs {

namespace {

// Window-arrangement pictures have no stock icon: small frames drawn here.
QIcon FramesPicture(const QList<QRect> &frames)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    for (const QRect &r : frames) {
        p.fillRect(r, QColor(255, 255, 255));
        p.setPen(QColor(40, 60, 120));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.fillRect(QRect(r.left(), r.top(), r.width(), 3), QColor(40, 60, 120));
    }
    return QIcon(pixmap);
}

} // namespace

QIcon MainPicture(int index)
{
    QStyle *style = QApplication::style();
    switch (index) {
    case piAbout: return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case piExit: return style->standardIcon(QStyle::SP_DialogCloseButton);
    case piCascade: return FramesPicture({QRect(0, 0, 11, 10), QRect(5, 5, 11, 11)});
    case piTileVertical: return FramesPicture({QRect(0, 0, 8, 16), QRect(8, 0, 8, 16)});
    case piTileHorizontal: return FramesPicture({QRect(0, 0, 16, 8), QRect(0, 8, 16, 8)});
    case piCloseAll: return style->standardIcon(QStyle::SP_DialogDiscardButton);
    case piOpen: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case piSave: return style->standardIcon(QStyle::SP_DialogSaveButton);
    case piDocument: return style->standardIcon(QStyle::SP_FileIcon);
    case piSettings: return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    default: return QIcon();
    }
}

} // namespace vrs
