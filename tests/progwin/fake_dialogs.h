#pragma once

#include "programmer/gui/prog_file_dialogs.h"

#include <QStringList>

// File names handed out instead of asking; remembers where it was opened.
struct FakeDialogs : vrs::ProgrammerFileDialogs {
    QString firmwareName;
    QString saveName;
    QStringList initialFolders;
    int saveAsked = 0;

    QString OpenFirmwareName(QWidget *, const QString &initialFolder) override
    {
        initialFolders << initialFolder;
        return firmwareName;
    }
    QString SaveLogName(QWidget *) override
    {
        ++saveAsked;
        return saveName;
    }
};
