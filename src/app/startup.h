#pragma once

class QApplication;

namespace vrs {

class TfmMain;

// Gives the main window the document windows of every device type this
// build has.
void RegisterDocumentWindows(TfmMain &window);

// Creates the settings and the main window, and runs the event loop.
int RunConfigurator(QApplication &app);

} // namespace vrs
