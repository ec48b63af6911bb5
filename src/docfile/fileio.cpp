#include "docfile/fileio.h"

#include "docfile/document.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace docfile::fileio {

std::vector<unsigned char> readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("无法打开文件：" + path);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error("无法读取文件：" + path);
    return bytes;
}

namespace {

// A new file beside `path`, named so that it cannot be taken for a
// document; created with the usual permissions (0666 less the umask).
int createBeside(const std::string& path, std::string& created)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = folder + "." + name + "." + std::to_string(random() % 1000000000u) + ".part";
        const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0;
}

} // namespace

void replace(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::string temporary;
    const int fd = createBeside(path, temporary);
    if (fd < 0) throw Error("无法创建文件：" + path);
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);
    const bool written = writeAll(fd, bytes);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw Error("无法写入文件：" + path);
    }
}

} // namespace docfile::fileio
