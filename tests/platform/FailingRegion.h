// A region of this process's memory whose first page holds given bytes and
// whose second page cannot be read: a file of one page mapped two pages
// long, so the second page lies beyond the end of the file. Read through
// /proc/self/mem, the system delivers the first page and then fails with an
// input/output error, as a failing disk would. The second page stays
// mapped, so no other allocation can take its place while a test reads.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

struct SFailingRegion {
    char* page = nullptr;
    std::size_t size = 0;

    // `content` is padded with blanks to one page (and cut to one).
    explicit SFailingRegion(std::string content)
    {
        size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        content.resize(size, ' ');
        char path[] = "/tmp/velkor-failing-region-XXXXXX";
        const int fd = ::mkstemp(path);
        if (fd < 0)
            return;
        ::unlink(path);
        if (::write(fd, content.data(), size) == static_cast<ssize_t>(size)) {
            void* m = ::mmap(nullptr, 2 * size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (m != MAP_FAILED)
                page = static_cast<char*>(m);
        }
        ::close(fd);
    }
    ~SFailingRegion()
    {
        if (page)
            ::munmap(page, 2 * size);
    }
    SFailingRegion(const SFailingRegion&) = delete;
    SFailingRegion& operator=(const SFailingRegion&) = delete;

    long long Address() const { return static_cast<long long>(reinterpret_cast<std::uintptr_t>(page)); }
};
