#pragma once

// The line setting a terminal really holds, read by the test through its
// own handle on the pseudo-terminal's slave.
struct LineSetting {
    bool ok = false;
    unsigned speed = 0;   // actual baud rate, custom rates included
    int dataBits = 0;
    bool parity = false;
    bool twoStopBits = false;
    bool hardwareFlow = false;
    bool softwareFlow = false;
};

LineSetting ProbeLine(int fd);
