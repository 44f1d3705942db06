#include "port_registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace vrs::devsim {

QString PortRegistryEntry::Folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/vrs5-devsim");
}

bool PortRegistryEntry::Write(const QString &portPath, const QByteArray &serial, QString *error)
{
    const QString folder = Folder();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Cannot create %1").arg(folder);
        return false;
    }
    const QString name =
        folder + QStringLiteral("/%1.port").arg(QCoreApplication::applicationPid());
    // A serial number with a line break would forge further keys.
    QByteArray safeSerial = serial;
    safeSerial.replace('\n', ' ').replace('\r', ' ');

    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write("path=" + portPath.toUtf8() + "\n");
    file.write("vid=28E9\n");
    file.write("pid=018A\n");
    file.write("description=VRS-5 simulated device\n");
    file.write("serial=" + safeSerial + "\n");
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    m_fileName = name;
    return true;
}

void PortRegistryEntry::Remove()
{
    if (!m_fileName.isEmpty()) {
        QFile::remove(m_fileName);
        m_fileName.clear();
    }
}

} // namespace vrs::devsim
