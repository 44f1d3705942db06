#include "programmer/gui/programmer_window_launcher.h"

#include "appsettings/settings.h"
#include "programmer/gui/main_prog_frm.h"
#include "programmer/programmer_controller.h"

namespace vrs {

ProgrammerWindowLauncher::ProgrammerWindowLauncher(QWidget *owner, const TSettings *settings)
    : m_owner(owner), m_settings(settings)
{
}

std::optional<QByteArray> ProgrammerWindowLauncher::Run(DeviceType type, ProgrammerMode mode,
                                                        const QByteArray &compactJson)
{
    TMainProgFrm window(type, mode, compactJson, nullptr, m_owner);
    ProgrammerController::Timing timing = window.Controller().GetTiming();
    if (m_settings) {
        timing.connectTries = qMax(1, int(m_settings->ComConnectTryCount()));
        timing.connectDelayMs = int(m_settings->ComIntervalDelay());
    }
    window.Controller().SetTiming(timing);
    if (m_hook)
        m_hook(window);
    window.exec();
    if (mode != pmReadConfig || !window.JobSucceeded() || window.Result().isEmpty())
        return std::nullopt;
    return window.Result();
}

} // namespace vrs
