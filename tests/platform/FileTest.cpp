// CFile and CFileException: opening what a user may choose, buffered
// reading, the share mode as advisory locks, read errors in the middle.
#include "platform/File.h"

#include "tests/TestUtil.h"
#include "tests/platform/FailingRegion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A temporary directory, removed with everything in it.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir.empty()); }

    std::string Write(const std::string& name, const std::string& content) { return temp.File(name, content); }

    testutil::CTempDir temp{"velkor-file-test"};
    std::string dir = temp.Path();
};

struct SOpenResult {
    bool thrown = false;
    int cause = -1;
    long osError = -1;
    std::string message;
};

// Opens through the constructor, as the import does, catching the pointer.
SOpenResult OpenThrowing(const std::string& path, UINT flags = CFile::modeRead | CFile::shareDenyWrite)
{
    SOpenResult r;
    try {
        CFile file(path.c_str(), flags);
    } catch (CException* e) {
        r.thrown = true;
        if (auto* fe = dynamic_cast<CFileException*>(e)) {
            r.cause = fe->m_cause;
            r.osError = fe->m_lOsError;
        }
        r.message = std::string(e->GetMessage().View());
        e->Delete();
    }
    return r;
}

std::string ReadAllByteByByte(CFile& file)
{
    std::string out;
    char c = 0;
    while (file.Read(&c, 1) == 1)
        out += c;
    return out;
}

// Read system calls of this process so far; -1 when the system does not
// count them.
long long ReadSystemCalls()
{
    std::FILE* f = std::fopen("/proc/self/io", "r");
    if (!f)
        return -1;
    char line[128];
    long long count = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "syscr: %lld", &count) == 1)
            break;
    std::fclose(f);
    return count;
}

TEST_F(FileTest, FilesThatCannotBeOpened)
{
    const std::string plain = Write("plain.txt", "1 2 3\n");
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const std::string longName = dir + "/" + std::string(300, 'n');
    struct SCase {
        std::string path;
        int cause;
        long osError;
        std::string message;
    };
    const SCase cases[] = {
        {dir + "/missing.txt", CFileException::fileNotFound, ENOENT,
         "Cannot open \"" + dir + "/missing.txt\": there is no such file."},
        {dir, CFileException::accessDenied, EISDIR, "Cannot open \"" + dir + "\": it is a directory, not a file."},
        // A pipe without a writer: refused at once, no hang.
        {fifo, CFileException::invalidFile, 0, "Cannot open \"" + fifo + "\": it is not a regular file."},
        {"/dev/zero", CFileException::invalidFile, 0, "Cannot open \"/dev/zero\": it is not a regular file."},
        {plain + "/inside", CFileException::badPath, ENOTDIR,
         "Cannot open \"" + plain + "/inside\": a part of the path is not a directory."},
        {longName, CFileException::badPath, ENAMETOOLONG, "Cannot open \"" + longName + "\": the name is too long."},
        {"", CFileException::fileNotFound, ENOENT, "Cannot open an unnamed file: there is no such file."},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.path);
        const SOpenResult thrown = OpenThrowing(c.path);
        EXPECT_TRUE(thrown.thrown);
        EXPECT_EQ(c.cause, thrown.cause);
        EXPECT_EQ(c.osError, thrown.osError);
        EXPECT_EQ(c.message, thrown.message);

        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.path.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(c.cause, error.m_cause);
        EXPECT_EQ(c.message, std::string(error.GetMessage().View()));
    }
}

TEST_F(FileTest, FileRemovedBetweenChoosingAndOpening)
{
    const std::string path = Write("chosen.txt", "1 2 3\n");
    ASSERT_EQ(0, ::unlink(path.c_str()));
    const SOpenResult r = OpenThrowing(path);
    EXPECT_EQ(CFileException::fileNotFound, r.cause);
    EXPECT_EQ("Cannot open \"" + path + "\": there is no such file.", r.message);
}

TEST_F(FileTest, FileWithoutReadPermission)
{
    const std::string path = Write("secret.txt", "1 2 3\n");
    ASSERT_EQ(0, ::chmod(path.c_str(), 0));
    ASSERT_EQ(0, ::chmod(dir.c_str(), 0755));
    const std::string expected = "Cannot open \"" + path + "\": permission denied.";
    if (::geteuid() != 0) {
        const SOpenResult r = OpenThrowing(path);
        EXPECT_EQ(CFileException::accessDenied, r.cause);
        EXPECT_EQ(expected, r.message);
        return;
    }
    // Root reads any file: the open is tried by a child that has given up
    // root for the unprivileged user "nobody" (65534).
    int channel[2];
    ASSERT_EQ(0, ::pipe(channel));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(channel[0]);
        std::string report = "cannot drop root";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            const SOpenResult r = OpenThrowing(path);
            report = std::to_string(r.cause) + " " + r.message;
        }
        const ssize_t written = ::write(channel[1], report.data(), report.size());
        ::_exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (report == "cannot drop root")
        GTEST_SKIP() << "this system does not let the test give up root";
    EXPECT_EQ(std::to_string(CFileException::accessDenied) + " " + expected, report);
}

TEST_F(FileTest, OnlyReadingIsOffered)
{
    const std::string path = Write("a.txt", "x");
    for (const UINT flags : {UINT{CFile::modeWrite}, UINT{CFile::modeReadWrite}, UINT{CFile::modeRead | CFile::modeCreate}}) {
        const SOpenResult r = OpenThrowing(path, flags);
        EXPECT_EQ(CFileException::genericException, r.cause) << flags;
        EXPECT_EQ(ENOTSUP, r.osError);
    }
    // Reading flags that change nothing here are accepted.
    EXPECT_FALSE(OpenThrowing(path, CFile::modeRead | CFile::typeText | CFile::modeNoInherit).thrown);
    std::ifstream check(path);
    EXPECT_EQ('x', check.get());  // nothing was truncated
}

TEST_F(FileTest, ReadsEveryByteWhateverTheRequestSizes)
{
    std::string content(3 * CFile::kBufferSize + 12345, '\0');
    std::mt19937 rng(5);
    for (char& c : content)
        c = static_cast<char>(rng());
    const std::string path = Write("data.bin", content);
    // Request sizes around the block size, straight-through reads included.
    const std::vector<std::vector<UINT>> plans = {
        {1}, {7}, {4096}, {CFile::kBufferSize - 1}, {CFile::kBufferSize}, {CFile::kBufferSize + 1},
        {3, CFile::kBufferSize * 2, 1}, {1u << 20},
    };
    for (const auto& plan : plans) {
        SCOPED_TRACE(plan.front());
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        std::string got;
        std::vector<char> buffer(1u << 20);
        for (std::size_t i = 0;; ++i) {
            const UINT want = plan[i % plan.size()];
            const UINT n = file.Read(buffer.data(), want);
            ASSERT_LE(n, want);
            got.append(buffer.data(), n);
            EXPECT_EQ(got.size(), file.GetPosition());
            if (n < want)
                break;  // fewer bytes only at the end
        }
        EXPECT_EQ(content, got);
        EXPECT_EQ(0u, file.Read(buffer.data(), 10));  // and again 0 at the end
    }
}

TEST_F(FileTest, ReadingByteByByteCostsNoSystemCallPerByte)
{
    const std::string content(1 << 20, 'a');
    const std::string path = Write("big.txt", content);
    const long long before = ReadSystemCalls();
    if (before < 0)
        GTEST_SKIP() << "/proc/self/io is not available";
    const long long overhead = ReadSystemCalls() - before;  // reading the counter itself
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    const long long start = ReadSystemCalls();
    EXPECT_EQ(content, ReadAllByteByByte(file));
    const long long reads = ReadSystemCalls() - start - overhead;
    // One read per block of the file, and one that meets the end.
    EXPECT_LE(reads, static_cast<long long>(content.size() / CFile::kBufferSize) + 2);
    EXPECT_GE(reads, static_cast<long long>(content.size() / CFile::kBufferSize));
}

TEST_F(FileTest, SeekAndLength)
{
    const std::string path = Write("seek.txt", "0123456789");
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    EXPECT_EQ(10u, file.GetLength());
    char c = 0;
    ASSERT_EQ(1u, file.Read(&c, 1));
    EXPECT_EQ(4u, file.Seek(3, CFile::current));
    ASSERT_EQ(1u, file.Read(&c, 1));
    EXPECT_EQ('4', c);
    EXPECT_EQ(8u, file.Seek(-2, CFile::end));
    ASSERT_EQ(1u, file.Read(&c, 1));
    EXPECT_EQ('8', c);
    EXPECT_EQ(0u, file.SeekToBegin());
    EXPECT_EQ("0123456789", ReadAllByteByByte(file));
    for (const auto& [offset, from] : {std::pair<long long, UINT>{-1, CFile::begin}, {-100, CFile::current},
                                       {LLONG_MIN, CFile::current}, {0, 7u}}) {
        try {
            file.Seek(offset, from);
            ADD_FAILURE() << "no exception for " << offset;
        } catch (CFileException* e) {
            EXPECT_EQ(CFileException::badSeek, e->m_cause);
            e->Delete();
        }
    }
    EXPECT_EQ("seek.txt", std::string(file.GetFileName().View()));
    EXPECT_EQ(path, std::string(file.GetFilePath().View()));
}

TEST_F(FileTest, ShareDenyWriteKeepsLockingWritersOut)
{
    const std::string path = Write("shared.txt", "1 2 3\n");
    const std::string refused = "Cannot open \"" + path + "\": another program has locked it for writing.";
    // A writer holding an exclusive flock, and one holding a record write lock.
    {
        const int writer = ::open(path.c_str(), O_RDWR);
        ASSERT_GE(writer, 0);
        ASSERT_EQ(0, ::flock(writer, LOCK_EX));
        const SOpenResult r = OpenThrowing(path);
        EXPECT_EQ(CFileException::sharingViolation, r.cause);
        EXPECT_EQ(refused, r.message);
        EXPECT_FALSE(OpenThrowing(path, CFile::modeRead | CFile::shareDenyNone).thrown);
        ::close(writer);
    }
    {
        const int writer = ::open(path.c_str(), O_RDWR);
        ASSERT_GE(writer, 0);
        struct flock range {};
        range.l_type = F_WRLCK;
        range.l_whence = SEEK_SET;
        ASSERT_EQ(0, ::fcntl(writer, F_OFD_SETLK, &range));
        const SOpenResult r = OpenThrowing(path);
        EXPECT_EQ(CFileException::sharingViolation, r.cause);
        EXPECT_EQ(refused, r.message);
        ::close(writer);
    }
    // While the file is open for reading, a writer cannot lock it; readers
    // can open it beside; closing (or destroying) the file releases it.
    const int other = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    {
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        const int locked = ::flock(other, LOCK_EX | LOCK_NB);
        const int error = errno;
        EXPECT_NE(0, locked);
        EXPECT_EQ(EWOULDBLOCK, error);
        EXPECT_FALSE(OpenThrowing(path).thrown);
        CFile exclusive;
        EXPECT_FALSE(exclusive.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive));
        file.Close();
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(0, ::flock(other, LOCK_EX | LOCK_NB));
        ::flock(other, LOCK_UN);
        CFile again(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    }
    EXPECT_EQ(0, ::flock(other, LOCK_EX | LOCK_NB));  // the destructor closed `again`
    ::close(other);
}

TEST_F(FileTest, ReadingAClosedFileThrows)
{
    const std::string path = Write("closed.txt", "abc");
    CFile file(path.c_str(), CFile::modeRead);
    file.Close();
    char c = 0;
    try {
        file.Read(&c, 1);
        ADD_FAILURE() << "no exception";
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::hardIO, e->m_cause);
        EXPECT_EQ(EBADF, e->m_lOsError);
        e->Delete();
    }
}

TEST_F(FileTest, ReadErrorInTheMiddle)
{
    const SFailingRegion region(std::string(16384, 'x'));
    ASSERT_NE(nullptr, region.page);
    CFile file;
    if (!file.Open("/proc/self/mem", CFile::modeRead | CFile::shareDenyWrite))
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    file.Seek(region.Address(), CFile::begin);
    try {
        ReadAllByteByByte(file);
        ADD_FAILURE() << "no read error";
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::hardIO, e->m_cause);
        EXPECT_EQ(EIO, e->m_lOsError);
        EXPECT_EQ("Cannot read \"/proc/self/mem\": input/output error.", std::string(e->GetMessage().View()));
        e->Delete();
    }
    // Byte by byte, every byte before the error was delivered.
    file.Seek(region.Address(), CFile::begin);
    std::string bytes;
    try {
        char c = 0;
        while (file.Read(&c, 1) == 1)
            bytes += c;
    } catch (CFileException* e) {
        e->Delete();
    }
    EXPECT_EQ(std::string(region.size, 'x'), bytes);
    // A big request returns what it got, and the next one reports the error.
    file.Seek(region.Address(), CFile::begin);
    std::vector<char> buffer(4 * CFile::kBufferSize);
    EXPECT_EQ(region.size, file.Read(buffer.data(), static_cast<UINT>(buffer.size())));
    int cause = -1;
    try {
        file.Read(buffer.data(), 1);
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::hardIO, cause);
}

TEST(FileExceptionTest, Messages)
{
    struct SCase {
        int cause;
        long osError;
        const char* name;
        std::string message;
    };
    const SCase cases[] = {
        {CFileException::hardIO, EIO, "a.txt", "Cannot read \"a.txt\": input/output error."},
        {CFileException::hardIO, -1, "a.txt", "Cannot read \"a.txt\": input/output error."},
        {CFileException::accessDenied, EACCES, "a.txt", "Cannot open \"a.txt\": permission denied."},
        {CFileException::accessDenied, -1, "a.txt", "Cannot open \"a.txt\": access is denied."},
        {CFileException::genericException, ENOTSUP, "a.txt", "Cannot use \"a.txt\": operation not supported."},
        {CFileException::endOfFile, -1, "a.txt", "Cannot read \"a.txt\": it ends before the data it should hold."},
        {CFileException::sharingViolation, EWOULDBLOCK, "a.txt",
         "Cannot open \"a.txt\": another program has locked it for writing."},
        // A name with a line feed still gives one line.
        {CFileException::fileNotFound, ENOENT, "two\nlines\t.txt",
         "Cannot open \"two?lines?.txt\": there is no such file."},
        {CFileException::genericException, 99999, "a", "Cannot use \"a\": system error 99999."},
    };
    for (const SCase& c : cases) {
        const CFileException e(c.cause, c.osError, c.name);
        EXPECT_EQ(c.message, std::string(e.GetMessage().View()));
        char buffer[512];
        UINT help = 7;
        EXPECT_TRUE(e.GetErrorMessage(buffer, sizeof buffer, &help));
        EXPECT_EQ(c.message, buffer);
        EXPECT_EQ(0u, help);
    }
    const CFileException e(CFileException::fileNotFound, ENOENT, "abc");
    char small[8];
    EXPECT_TRUE(e.GetErrorMessage(small, sizeof small));
    EXPECT_STREQ("Cannot ", small);
    EXPECT_EQ(CFileException::fileNotFound, CFileException::OsErrorToException(ENOENT));
    EXPECT_EQ(CFileException::accessDenied, CFileException::OsErrorToException(EACCES));
    EXPECT_EQ(CFileException::tooManyOpenFiles, CFileException::OsErrorToException(EMFILE));
    EXPECT_EQ(CFileException::diskFull, CFileException::OsErrorToException(ENOSPC));
    EXPECT_EQ(CFileException::genericException, CFileException::OsErrorToException(EPROTO));
    try {
        CFileException::ThrowOsError(EACCES, "x");
    } catch (CException* thrown) {
        auto* fe = dynamic_cast<CFileException*>(thrown);
        ASSERT_NE(nullptr, fe);
        EXPECT_EQ(CFileException::accessDenied, fe->m_cause);
        thrown->Delete();
    }
}

}  // namespace
