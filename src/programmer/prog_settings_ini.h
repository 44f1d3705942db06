#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace vrs {

// An ini file held in memory that writes back exactly what it read: other
// programs' sections, keys, comments and line order survive, and a value
// that is set keeps its key's place.  Section and key names match without
// regard to case; the first section of a name is the one used.
class TIniDocument {
public:
    // A missing file reads as empty; false (with the reason) only when an
    // existing file cannot be read.
    bool Load(const QString &fileName, QString *error = nullptr);
    void LoadFromText(const QByteArray &text);
    QByteArray ToText() const;
    // Replaces the file atomically where the folder allows it.
    bool Save(const QString &fileName, QString *error = nullptr) const;

    std::optional<QString> Value(const QString &section, const QString &key) const;
    // An existing key gets the new value in place; a new key goes after the
    // last key of its section; a new section goes at the end.
    void SetValue(const QString &section, const QString &key, const QString &value);

    // The value, or the default when the key is missing.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal with "0x" or "$"; anything else gives the default.
    qint64 ReadInteger(const QString &section, const QString &key, qint64 def) const;
    // True unless the value is the number 0; a value that is no number gives
    // the default.
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteInteger(const QString &section, const QString &key, qint64 value);
    void WriteBool(const QString &section, const QString &key, bool value);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray raw;     // as read, without its line break
        Kind kind = Kind::Other;
        QString name;       // section or key name
        QString value;      // key lines only
    };

    static Line ParseLine(const QByteArray &raw);
    // Index of the section header, or -1; the section runs to the next one.
    int FindSection(const QString &section) const;
    int SectionEnd(int header) const;
    int FindKey(int header, const QString &key) const;

    std::vector<Line> m_lines;
    QByteArray m_lineBreak = "\n";
    bool m_bom = false;
};

} // namespace vrs
