#pragma once

#include "config/device_type.h"

#include <QByteArray>
#include <functional>
#include <optional>

namespace vrs {

class Prompt;

// Runs one programmer job modally: a configuration read (mode pmReadConfig),
// a write of the given compact JSON (pmWriteConfig) or a firmware update
// (pmFirmware, type dtNone).  A read gives the configuration text the device
// holds, or nothing when the job brought nothing back (the programmer has
// told the user why); the other modes give nothing.
class ProgrammerLauncher {
public:
    virtual ~ProgrammerLauncher() = default;
    virtual std::optional<QByteArray> Run(DeviceType type, ProgrammerMode mode,
                                          const QByteArray &compactJson) = 0;
};

// Stands in while this build has no programmer: says so and transfers nothing.
class UnavailableProgrammerLauncher : public ProgrammerLauncher {
public:
    // The prompt is asked for at each run: the window may replace it.
    explicit UnavailableProgrammerLauncher(std::function<Prompt &()> prompt)
        : FPrompt(std::move(prompt)) {}

    std::optional<QByteArray> Run(DeviceType type, ProgrammerMode mode,
                                  const QByteArray &compactJson) override;

private:
    std::function<Prompt &()> FPrompt;
};

} // namespace vrs
