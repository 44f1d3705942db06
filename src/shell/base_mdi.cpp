#include "shell/base_mdi.h"

#include "shell/command_guard.h"
#include "shell/device_commands.h"

#include <QCloseEvent>
#include <QEvent>

namespace vrs {

TfmBaseMDI::TfmBaseMDI(QWidget *parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(500, 200);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
}

TfmBaseMDI::~TfmBaseMDI() = default;

std::optional<JsonValue> TfmBaseMDI::BuildJSON() const
{
    return std::nullopt;
}

bool TfmBaseMDI::LoadJSON(const JsonValue &root, QString *)
{
    FJSON = root;
    return false;
}

void TfmBaseMDI::closeEvent(QCloseEvent *event)
{
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    FJSON.reset();
    emit DocClosed(this);
}

void TfmBaseMDI::changeEvent(QEvent *event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange)
        emit DocCaptionChanged(this);
}

void TfmBaseMDI::ReadFromDevice()
{
    if (!FCommands)
        return;
    RunGuarded(FCommands->prompt(), [this] { FCommands->ReadInto(*this); });
}

void TfmBaseMDI::WriteToDevice()
{
    if (!FCommands)
        return;
    RunGuarded(FCommands->prompt(), [this] { FCommands->WriteFrom(*this); });
}

} // namespace vrs
