#include "application/ProcessRestart.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "Log/Log.h"

namespace application
{
void ProcessRestart::closeOnExecAbove(int lowestFd)
{
    const long limit = ::sysconf(_SC_OPEN_MAX);
    const int highest = limit > 0 && limit < 65536 ? static_cast<int>(limit) : 65536;
    for (int fd = lowestFd; fd < highest; ++fd)
    {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0)
            ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

bool ProcessRestart::restart(const std::string& programPath, const std::string& gameFolder, bool newGame)
{
    // Whatever the old run wrote must come out before its buffers vanish.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    // The old window closes with its display connection; the new run opens
    // its own.
    closeOnExecAbove(3);
    std::string newGameOption = "--new-game";
    char* const withNewGame[] = {const_cast<char*>(programPath.c_str()), &newGameOption[0],
                                 const_cast<char*>(gameFolder.c_str()), nullptr};
    char* const atTitle[] = {const_cast<char*>(programPath.c_str()), const_cast<char*>(gameFolder.c_str()), nullptr};
    char* const* argv = newGame ? withNewGame : atTitle;
    ::execv(programPath.c_str(), argv);
    const int failure = errno;
    Log::error() << "zolt: cannot start the game again (" << programPath << "): " << std::strerror(failure)
                 << std::endl;
    return false;
}
}
