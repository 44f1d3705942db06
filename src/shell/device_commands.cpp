#include "shell/device_commands.h"

#include "config/json.h"
#include "programmer/prompt.h"
#include "shell/base_mdi.h"
#include "shell/command_guard.h"
#include "shell/programmer_launcher.h"

namespace vrs {

std::optional<JsonValue> DeviceCommands::ReadConfiguration(DeviceType type)
{
    const std::optional<QByteArray> answer = FLauncher->Run(type, pmReadConfig, QByteArray());
    if (!answer || answer->isEmpty())
        return std::nullopt;
    std::optional<JsonValue> root = Parse(*answer);
    // A configuration that came back damaged must not pass for "nothing to
    // load": the user would think the read had worked.
    if (!root || !root->isObject())
        throw ECommandError(QStringLiteral(
            "Конфигурация, прочитанная из устройства, повреждена: она не является объектом JSON."));
    return root;
}

void DeviceCommands::WriteConfiguration(DeviceType type, const JsonValue &root)
{
    FLauncher->Run(type, pmWriteConfig, PrintCompact(root));
}

void DeviceCommands::UpdateFirmware()
{
    FLauncher->Run(dtNone, pmFirmware, QByteArray());
}

void DeviceCommands::ReadInto(TfmBaseMDI &window)
{
    const std::optional<JsonValue> root = ReadConfiguration(window.DocumentType());
    if (!root)
        return;
    QString message;
    if (!window.LoadJSON(*root, &message))
        FPrompt->Show(Prompt::Kind::Error, ErrorCaption(), message);
}

void DeviceCommands::WriteFrom(TfmBaseMDI &window)
{
    const std::optional<JsonValue> root = window.BuildJSON();
    if (!root)
        throw ECommandError(QStringLiteral("Этот документ нельзя записать в устройство."));
    WriteConfiguration(window.DocumentType(), *root);
}

} // namespace vrs
