#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

// The files a vrs5ctl test hands to the tool live in a folder of their own
// that goes away with the test object.
class TestFolder {
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void put(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir m_dir;
};
