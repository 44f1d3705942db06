#include "shell/main_window.h"

#include "shell/base_mdi.h"
#include "shell/command_guard.h"
#include "shell/device_commands.h"

namespace vrs {

// While the programmer window is up, activation changes come from the modal
// window itself and must not retarget the current device type.
class TfmMain::ActivationPause {
public:
    explicit ActivationPause(TfmMain &window) : FWindow(window), FWas(window.FTrackActivation)
    {
        FWindow.FTrackActivation = false;
    }
    ~ActivationPause() { FWindow.FTrackActivation = FWas; }

private:
    TfmMain &FWindow;
    bool FWas;
};

void TfmMain::ReadFromDevice(DeviceType type)
{
    FDeviceType = type;
    {
        ActivationPause pause(*this);
        const std::optional<JsonValue> root = FCommands->ReadConfiguration(FDeviceType);
        if (root && !LoadDocument(*root, FDeviceType))
            throw ECommandError(
                QStringLiteral("В конфигурации, прочитанной из устройства, нет настроек этого "
                               "типа устройства."));
    }
    UpdateCaption();
}

void TfmMain::WriteToDevice()
{
    if (Documents().isEmpty() || (FDeviceType != dtPLM && FDeviceType != dtNTRV
                                  && FDeviceType != dtZMT))
        return;
    ActivationPause pause(*this);
    TfmBaseMDI *doc = ActiveDocument();
    if (!doc || doc->DocumentType() != FDeviceType)
        return;
    if (const std::optional<JsonValue> root = doc->BuildJSON())
        FCommands->WriteConfiguration(FDeviceType, *root);
}

void TfmMain::UpdateFirmware()
{
    ActivationPause pause(*this);
    FCommands->UpdateFirmware();
}

} // namespace vrs
