#include "host/TemporaryFiles.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// A slot's path is written before its flag is set and read only after the
// flag is seen, so a handler never sees half a path.
char s_Paths[CTemporaryFiles::kSlots][PATH_MAX];
std::atomic<bool> s_Used[CTemporaryFiles::kSlots];
static_assert(std::atomic<bool>::is_always_lock_free, "the handlers need lock-free flags");

void OnSignal(int signal)
{
    CTemporaryFiles::RemoveAll();
    // The default action: the program ends by this signal, as it would
    // have without the handler.
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

}  // namespace

void CTemporaryFiles::InstallSignalHandlers()
{
    for (const int signal : kSignals) {
        struct sigaction old = {};
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        // One handler at a time; the signal raised inside is delivered, with
        // its default action, as the handler returns.
        for (const int other : kSignals)
            sigaddset(&action.sa_mask, other);
        sigaction(signal, &action, nullptr);
    }
}

int CTemporaryFiles::Create(std::string& path, int& slot)
{
    // The handled signals wait while the file exists but is not registered
    // yet; one that came in between is delivered as they are unblocked, and
    // its handler finds the file registered.
    sigset_t handled, old;
    sigemptyset(&handled);
    for (const int signal : kSignals)
        sigaddset(&handled, signal);
    pthread_sigmask(SIG_BLOCK, &handled, &old);
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    const int error = errno;
    slot = fd >= 0 ? Add(path.c_str()) : -1;
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return fd;
}

int CTemporaryFiles::Add(const char* path)
{
    const std::size_t length = path ? std::strlen(path) : 0;
    if (length == 0 || length >= PATH_MAX)
        return -1;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (s_Used[slot].load(std::memory_order_acquire))
            continue;
        std::memcpy(s_Paths[slot], path, length + 1);
        s_Used[slot].store(true, std::memory_order_release);
        return slot;
    }
    return -1;
}

void CTemporaryFiles::Forget(int slot)
{
    if (slot >= 0 && slot < kSlots)
        s_Used[slot].store(false, std::memory_order_release);
}

void CTemporaryFiles::RemoveAll()
{
    for (int slot = 0; slot < kSlots; ++slot)
        if (s_Used[slot].exchange(false, std::memory_order_acq_rel))
            unlink(s_Paths[slot]);
}
