#include "shell/programmer_launcher.h"

#include "programmer/prompt.h"

namespace vrs {

std::optional<QByteArray> UnavailableProgrammerLauncher::Run(DeviceType, ProgrammerMode,
                                                             const QByteArray &)
{
    FPrompt().Show(Prompt::Kind::Information, QStringLiteral("Программатор"),
                 QStringLiteral("Программатор в этой сборке недоступен: обмен с устройством "
                                "не выполнялся."));
    return std::nullopt;
}

} // namespace vrs
