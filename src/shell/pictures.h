#pragma once

#include <QIcon>

namespace vrs {

// The main window's pictures by their index:
// 0 about, 1 exit, 3 cascade, 4 tile vertically, 5 tile horizontally,
// 6 close all, 7 open, 8 save, 9 document, 10 settings.
QIcon MainPicture(int index);

enum MainPictureIndex {
    piAbout = 0, piExit = 1, piCascade = 3, piTileVertical = 4, piTileHorizontal = 5,
    piCloseAll = 6, piOpen = 7, piSave = 8, piDocument = 9, piSettings = 10
};

} // namespace vrs
