#pragma once

#include <QByteArray>
#include <QString>

namespace vrs::devsim {

// Lists a simulated device where port discovery looks for them:
// <runtime folder>/vrs5-devsim/<pid>.port, lines key=value (README.md).
// The entry is removed when the object goes away.
class PortRegistryEntry {
public:
    PortRegistryEntry() = default;
    ~PortRegistryEntry() { Remove(); }
    PortRegistryEntry(const PortRegistryEntry &) = delete;
    PortRegistryEntry &operator=(const PortRegistryEntry &) = delete;

    static QString Folder();

    bool Write(const QString &portPath, const QByteArray &serial, QString *error);
    void Remove();
    QString FileName() const { return m_fileName; }

private:
    QString m_fileName;
};

} // namespace vrs::devsim
