#pragma once

#include <QString>

class QWidget;

namespace vrs {

// Position, size and state of a top-level window, kept in an XML file with
// the root node "Configuration" and one element per window, named after its
// form.  A missing or unreadable file leaves the window as it is: placement
// is a convenience and must never keep the program from starting.
class TWindowPlacement {
public:
    TWindowPlacement(const QString &fileName, const QString &formName);

    const QString &FileName() const { return FFileName; }

    void Restore(QWidget *window) const;
    // Replaces the file only once the new one is complete.
    bool Save(const QWidget *window, QString *error = nullptr) const;

    // A name usable as an XML element name: "_" for every character that is
    // not allowed there.
    static QString XmlName(const QString &name);
    // "TRUE", "YES", "Y" (any case) are true; everything else is false.
    static bool ParseBool(const QString &text);

private:
    QString FFileName;
    QString FFormName;
};

} // namespace vrs
