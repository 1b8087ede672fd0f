#include "host/StandardStreams.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool s_Closed[3] = {false, false, false};

}  // namespace

void CStandardStreams::Secure()
{
    for (int fd = 0; fd < 3; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        s_Closed[fd] = true;
        // open() takes the lowest free number, which is this one: the lower
        // ones are open by now.
        const int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null == fd)
            continue;
        // No /dev/null (a bare chroot): rather than let an output file take
        // a standard number, stop.
        static const char kMessage[] = "motionhost: cannot open /dev/null in place of a closed standard stream\n";
        if (!s_Closed[2])
            (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
        _exit(2);
    }
}

bool CStandardStreams::WasClosed(int fd) { return fd >= 0 && fd < 3 && s_Closed[fd]; }
