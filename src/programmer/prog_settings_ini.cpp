#include "prog_settings_ini.h"

#include <QFile>
#include <QSaveFile>

namespace vrs {

namespace {

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const QByteArray kBom("\xEF\xBB\xBF");

} // namespace

bool TIniDocument::Load(const QString &fileName, QString *error)
{
    m_lines.clear();
    QFile file(fileName);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    LoadFromText(file.readAll());
    return true;
}

void TIniDocument::LoadFromText(const QByteArray &text)
{
    m_lines.clear();
    m_lineBreak = "\n";
    m_bom = text.startsWith(kBom);
    const QByteArray body = m_bom ? text.mid(kBom.size()) : text;
    const qsizetype firstBreak = body.indexOf('\n');
    if (firstBreak > 0 && body.at(firstBreak - 1) == '\r')
        m_lineBreak = "\r\n";

    QList<QByteArray> rows = body.split('\n');
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();   // the break after the last line
    for (QByteArray &row : rows) {
        if (row.endsWith('\r'))
            row.chop(1);
        m_lines.push_back(ParseLine(row));
    }
}

TIniDocument::Line TIniDocument::ParseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    const QByteArray trimmed = raw.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#'))
        return line;
    if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
        line.kind = Kind::Section;
        line.name = QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2).trimmed());
        return line;
    }
    const qsizetype equals = trimmed.indexOf('=');
    if (equals > 0) {
        line.kind = Kind::Key;
        line.name = QString::fromUtf8(trimmed.left(equals).trimmed());
        line.value = QString::fromUtf8(trimmed.mid(equals + 1).trimmed());
    }
    return line;
}

QByteArray TIniDocument::ToText() const
{
    QByteArray out = m_bom ? kBom : QByteArray();
    for (const Line &line : m_lines)
        out += line.raw + m_lineBreak;
    return out;
}

bool TIniDocument::Save(const QString &fileName, QString *error) const
{
    QSaveFile file(fileName);
    // A writable file in a folder that is not: write it in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(ToText()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

int TIniDocument::FindSection(const QString &section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && SameName(m_lines[i].name, section))
            return int(i);
    }
    return -1;
}

int TIniDocument::SectionEnd(int header) const
{
    size_t i = size_t(header) + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return int(i);
}

int TIniDocument::FindKey(int header, const QString &key) const
{
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (m_lines[size_t(i)].kind == Kind::Key && SameName(m_lines[size_t(i)].name, key))
            return i;
    }
    return -1;
}

std::optional<QString> TIniDocument::Value(const QString &section, const QString &key) const
{
    const int header = FindSection(section);
    if (header < 0)
        return std::nullopt;
    const int index = FindKey(header, key);
    if (index < 0)
        return std::nullopt;
    return m_lines[size_t(index)].value;
}

void TIniDocument::SetValue(const QString &section, const QString &key, const QString &value)
{
    // Line breaks inside a value would start lines of their own and read
    // back as other keys.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));

    int header = FindSection(section);
    if (header < 0) {
        if (!m_lines.empty() && !m_lines.back().raw.trimmed().isEmpty())
            m_lines.push_back(Line{});
        m_lines.push_back(ParseLine('[' + section.toUtf8() + ']'));
        header = int(m_lines.size()) - 1;
    }
    const int index = FindKey(header, key);
    if (index >= 0) {
        Line &line = m_lines[size_t(index)];
        line.raw = line.name.toUtf8() + '=' + clean.toUtf8();
        line.value = clean.trimmed();
        return;
    }
    // After the section's last key, so blank lines and comments that part it
    // from the next section stay where they are.
    int insertAt = header + 1;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (m_lines[size_t(i)].kind == Kind::Key)
            insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + insertAt, ParseLine(key.toUtf8() + '=' + clean.toUtf8()));
}

QString TIniDocument::ReadString(const QString &section, const QString &key,
                                 const QString &def) const
{
    return Value(section, key).value_or(def);
}

qint64 TIniDocument::ReadInteger(const QString &section, const QString &key, qint64 def) const
{
    const std::optional<QString> value = Value(section, key);
    if (!value)
        return def;
    QString text = *value;
    int base = 10;
    bool negative = false;
    if (text.startsWith(QLatin1Char('-'))) {
        negative = true;
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1Char('+'))) {
        text.remove(0, 1);
    }
    if (text.startsWith(QLatin1Char('$'))) {
        base = 16;
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text.remove(0, 2);
    }
    if (text.isEmpty() || text.front().isSpace() || text.front() == QLatin1Char('-')
        || text.front() == QLatin1Char('+'))
        return def;
    bool ok = false;
    const qint64 number = text.toLongLong(&ok, base);
    if (!ok)
        return def;
    return negative ? -number : number;
}

bool TIniDocument::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniDocument::WriteInteger(const QString &section, const QString &key, qint64 value)
{
    SetValue(section, key, QString::number(value));
}

void TIniDocument::WriteBool(const QString &section, const QString &key, bool value)
{
    SetValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace vrs
