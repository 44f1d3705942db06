#pragma once

#include "config/device_type.h"
#include "config/json_value.h"

#include <optional>

namespace vrs {

class Prompt;
class ProgrammerLauncher;
class TfmBaseMDI;

// What the device commands pass to the programmer and what they make of its
// answer.  The errors they raise are ECommandError, for the command's guard.
class DeviceCommands {
public:
    DeviceCommands(Prompt *prompt, ProgrammerLauncher *launcher)
        : FPrompt(prompt), FLauncher(launcher) {}

    void SetPrompt(Prompt *prompt) { FPrompt = prompt; }
    void SetLauncher(ProgrammerLauncher *launcher) { FLauncher = launcher; }
    Prompt &prompt() const { return *FPrompt; }
    ProgrammerLauncher &launcher() const { return *FLauncher; }

    // Reads the configuration set of a device of the given type.  Nothing
    // when the programmer brought nothing back; an answer that is not a JSON
    // object raises an error.
    std::optional<JsonValue> ReadConfiguration(DeviceType type);
    // Writes a root object into a device of the given type.
    void WriteConfiguration(DeviceType type, const JsonValue &root);
    // Firmware update: no device type, no document.
    void UpdateFirmware();

    // The "Прочитать" and "Записать" buttons of a document window, with the
    // window's own device type.  A read replaces that window's content only.
    void ReadInto(TfmBaseMDI &window);
    void WriteFrom(TfmBaseMDI &window);

private:
    Prompt *FPrompt;
    ProgrammerLauncher *FLauncher;
};

} // namespace vrs
