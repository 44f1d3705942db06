#pragma once

#include "shell/programmer_launcher.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace vrs {

class TMainProgFrm;
class TSettings;

// Runs each device command's job in a programmer window of its own, shown
// modally over the owner.  The connect attempts follow the application
// settings as they are at the start of each job.
class ProgrammerWindowLauncher : public ProgrammerLauncher {
public:
    // owner: the main window; settings: the application settings (none: one
    // connect attempt, no pause).
    explicit ProgrammerWindowLauncher(QWidget *owner = nullptr, const TSettings *settings = nullptr);

    // A read gives the configuration set the device holds, once it has been
    // read and checked; nothing otherwise.  Other modes give nothing.
    std::optional<QByteArray> Run(DeviceType type, ProgrammerMode mode,
                                  const QByteArray &compactJson) override;

    // Called with every new window just before it is shown; lets a caller
    // put in its own prompt and file dialogs.
    using WindowHook = std::function<void(TMainProgFrm &)>;
    void SetWindowHook(WindowHook hook) { m_hook = std::move(hook); }

private:
    QPointer<QWidget> m_owner;
    const TSettings *m_settings;
    WindowHook m_hook;
};

} // namespace vrs
