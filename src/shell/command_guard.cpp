#include "shell/command_guard.h"

#include "appsettings/settings_error.h"
#include "programmer/prompt.h"

#include <new>

namespace vrs {

QString ErrorCaption()
{
    return QStringLiteral("Ошибка");
}

bool RunGuarded(Prompt &prompt, const std::function<void()> &command)
{
    QString message;
    try {
        command();
        return true;
    } catch (const ECommandError &e) {
        message = e.Message();
    } catch (const ESettingsError &e) {
        message = e.Message();
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("Недостаточно памяти для выполнения команды");
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Непредвиденная ошибка при выполнении команды");
    }
    prompt.Show(Prompt::Kind::Error, ErrorCaption(), message);
    return false;
}

} // namespace vrs
