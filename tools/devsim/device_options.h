#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vrs::devsim {

// Everything the simulated device can be told at start.  The defaults give
// a well-behaved device in its loader with an erased configuration area.
struct DeviceOptions {
    // Preloaded state.
    QByteArray serial = "SIM00001";          // empty: the device has none
    std::optional<uint32_t> packetSize = 1024; // none: query never answered
    std::optional<QByteArray> configText;    // none: erased area
    bool configBadCrc = false;

    // Pace of the exchange.
    int readyIntervalMs = 20;
    int baud = 0;                            // 0: output not paced
    int answerDelayMs = 0;

    // Faults.
    int dropEvery = 0;                       // drop every Nth request
    QSet<int> dropList;                      // 1-based request numbers
    int junkBytes = 0;                       // junk before every frame
    int splitSize = 0;                       // frames go out in pieces
    int splitPauseMs = 0;
    int silentAfter = 0;                     // silent after N answers
    bool answerRepeats = false;              // a naive device: no guards

    // Outputs.
    QString dumpFile;
    bool registerPort = false;
    bool verbose = false;
};

enum class ParseResult { Ok, Help, Error };

// Parses the command line (arguments[0] is the program).  On Error the text
// says what is wrong; on Help it is the help text.
ParseResult ParseDeviceOptions(const QStringList &arguments, DeviceOptions *options,
                               QString *text);

} // namespace vrs::devsim
