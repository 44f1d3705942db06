#pragma once

#include <QString>
#include <QtGlobal>

namespace vrs {

// The configurator's own settings: how the programmer window retries a
// connection.  Kept in a small XML file in the user's settings folder; one
// instance lives for the whole run.
class TSettings {
public:
    static constexpr quint16 kDefaultComIntervalDelay = 1000;
    static constexpr quint8 kDefaultComConnectTryCount = 5;

    // Stores the file name and the defaults, then loads the file when asked.
    // Loading may raise ESettingsError (see Load).
    explicit TSettings(const QString &fileName, bool loadNow = true);

    const QString &FileName() const { return FFileName; }
    bool Modified() const { return FModified; }

    // Pause in milliseconds between two connection attempts.
    quint16 ComIntervalDelay() const { return FComIntervalDelay; }
    // Maximum number of connection attempts.
    quint8 ComConnectTryCount() const { return FComConnectTryCount; }

    // Values come from spin edits where anything can be typed: out-of-range
    // input is clamped to the field's range rather than wrapped, so 70000
    // gives 65535, not 4464.  Modified is set only by a real change.
    void SetComIntervalDelay(qint64 value);
    void SetComConnectTryCount(qint64 value);

    // Clears Modified, then takes every known attribute of the root element.
    // A missing file leaves the values as they are.  A file that cannot be
    // read or is not well-formed raises ESettingsError and changes nothing.
    void Load();

    // Writes the whole file, replacing the old one only once the new one is
    // complete, and clears Modified.  Raises ESettingsError on failure and
    // then keeps Modified as it was.
    void Save();

    // The file's bytes for the current values.
    QByteArray ToXml() const;

private:
    QString FFileName;
    bool FModified = false;
    quint16 FComIntervalDelay = kDefaultComIntervalDelay;
    quint8 FComConnectTryCount = kDefaultComConnectTryCount;
};

} // namespace vrs
