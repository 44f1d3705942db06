#include "shell/window_placement.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QSaveFile>
#include <QScreen>
#include <QWidget>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace vrs {

namespace {

const QString kRoot = QStringLiteral("Configuration");

bool OnSomeScreen(const QRect &rect)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens)
        if (screen->availableGeometry().intersects(rect))
            return true;
    return false;
}

} // namespace

TWindowPlacement::TWindowPlacement(const QString &fileName, const QString &formName)
    : FFileName(fileName), FFormName(XmlName(formName))
{
}

QString TWindowPlacement::XmlName(const QString &name)
{
    QString result;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool letter = (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                            || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                            || c == QLatin1Char('_');
        const bool other = (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                           || c == QLatin1Char('-') || c == QLatin1Char('.');
        result += (letter || (i > 0 && other)) ? c : QLatin1Char('_');
    }
    return result.isEmpty() ? QStringLiteral("_") : result;
}

bool TWindowPlacement::ParseBool(const QString &text)
{
    const QString t = text.trimmed().toUpper();
    return t == QLatin1String("TRUE") || t == QLatin1String("YES") || t == QLatin1String("Y");
}

void TWindowPlacement::Restore(QWidget *window) const
{
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QXmlStreamReader xml(&file);
    QHash<QString, QString> values;
    bool inForm = false;
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1 && xml.name() != kRoot)
                return;
            if (depth == 2 && xml.name() == FFormName) {
                inForm = true;
            } else if (depth == 3 && inForm) {
                // Reading the text also consumes the element's end.
                const QString name = xml.name().toString();
                values.insert(name, xml.readElementText(QXmlStreamReader::SkipChildElements));
                --depth;
            }
        } else if (xml.isEndElement()) {
            if (depth == 2)
                inForm = false;
            --depth;
        }
    }
    if (xml.hasError())
        return;

    bool ok[4];
    const QRect rect(values.value(QStringLiteral("Left")).toInt(&ok[0]),
                     values.value(QStringLiteral("Top")).toInt(&ok[1]),
                     values.value(QStringLiteral("Width")).toInt(&ok[2]),
                     values.value(QStringLiteral("Height")).toInt(&ok[3]));
    if (ok[2] && ok[3] && rect.width() > 0 && rect.height() > 0) {
        // A window stored on a screen that is no longer there keeps its
        // size but not its position, so it cannot open out of reach.
        if (ok[0] && ok[1] && OnSomeScreen(rect))
            window->setGeometry(rect);
        else
            window->resize(rect.size());
    }
    if (ParseBool(values.value(QStringLiteral("Maximized"))))
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

bool TWindowPlacement::Save(const QWidget *window, QString *error) const
{
    const QRect rect = window->normalGeometry().isValid() ? window->normalGeometry()
                                                          : window->geometry();
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(kRoot);
    xml.writeStartElement(FFormName);
    xml.writeTextElement(QStringLiteral("Left"), QString::number(rect.left()));
    xml.writeTextElement(QStringLiteral("Top"), QString::number(rect.top()));
    xml.writeTextElement(QStringLiteral("Width"), QString::number(rect.width()));
    xml.writeTextElement(QStringLiteral("Height"), QString::number(rect.height()));
    xml.writeTextElement(QStringLiteral("Maximized"),
                         window->isMaximized() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace vrs
