#include "startup.h"

#include "appsettings/app_folders.h"
#include "appsettings/settings.h"
#include "appsettings/settings_error.h"
#include "devices/zmt/gui/zmt_window.h"
#include "programmer/gui/programmer_window_launcher.h"
#include "programmer/prog_settings.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QMessageBox>

namespace vrs {

void RegisterDocumentWindows(TfmMain &window)
{
    window.RegisterDocumentType(dtZMT, [] { return new TfmConfZMT; });
}

int RunConfigurator(QApplication &app)
{
    QApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QApplication::setOrganizationName(QStringLiteral("Veltrona Ltd"));

    // The programmer's own settings come first and are written back last,
    // when this object goes at the very end of the run.
    TProgSettings programmerSettings;

    QString folder;
    try {
        folder = AppSettingsFolder();
    } catch (const ESettingsError &e) {
        // Without its folder the program could keep nothing it is told.
        QMessageBox::critical(nullptr, QStringLiteral("Ошибка"), e.Message());
        return 1;
    }

    const QString fileName = AppSettingsFileName(folder);
    std::unique_ptr<TSettings> settings;
    try {
        settings = std::make_unique<TSettings>(fileName);
    } catch (const ESettingsError &e) {
        // A damaged settings file costs two numbers, not the session.
        QMessageBox::warning(nullptr, QStringLiteral("Ошибка"),
                             e.Message() + QStringLiteral("\nИспользуются настройки по умолчанию."));
        settings = std::make_unique<TSettings>(fileName, false);
    }

    TfmMain window(std::move(settings));
    window.SetPlacementFile(folder + QStringLiteral("ViewSchema.xml"));
    RegisterDocumentWindows(window);
    window.SetProgrammerLauncher(std::make_unique<ProgrammerWindowLauncher>(&window, &window.settings()));
    window.show();
    return app.exec();
}

} // namespace vrs
