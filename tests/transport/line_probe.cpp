#include "line_probe.h"

// termios2 carries the custom baud rates; its header clashes with <termios.h>,
// hence this file of its own.
#include <asm/termbits.h>
#include <sys/ioctl.h>

LineSetting ProbeLine(int fd)
{
    LineSetting line;
    struct termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return line;
    line.ok = true;
    line.speed = t.c_ospeed;
    switch (t.c_cflag & CSIZE) {
    case CS5: line.dataBits = 5; break;
    case CS6: line.dataBits = 6; break;
    case CS7: line.dataBits = 7; break;
    default: line.dataBits = 8; break;
    }
    line.parity = (t.c_cflag & PARENB) != 0;
    line.twoStopBits = (t.c_cflag & CSTOPB) != 0;
    line.hardwareFlow = (t.c_cflag & CRTSCTS) != 0;
    line.softwareFlow = (t.c_iflag & (IXON | IXOFF)) != 0;
    return line;
}
