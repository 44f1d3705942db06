#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace vrs {

// Where the link writes its log lines ("Dev: ..." traffic, status texts).
// The programmer's log implements it; a null sink means no logging.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void WriteLog(const QString &text) = 0;
};

// Each byte as two upper-case hex digits and a blank: "0A FF ".  Empty for
// a count of 0.
QString BytesToHex(const uint8_t *data, size_t count);

} // namespace vrs
