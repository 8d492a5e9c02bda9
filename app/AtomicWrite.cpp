#include "app/AtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// The folder part of a path, with its separator; empty for a bare name.
std::string FolderOf(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 0 && !IsSeparator(path[end - 1])) {
        --end;
    }
    return path.substr(0, end);
}

#ifdef _WIN32
std::wstring Wide(const std::string& utf8)
{
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                          nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(count, 0)), L'\0');
    if (count > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            count);
    }
    return wide;
}

int ErrnoFor(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        return EACCES;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
        return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

struct ExistingFile {
    bool exists = false;
    WriteRefusal refusal = WriteRefusal::None;
};

ExistingFile Inspect(const std::wstring& target)
{
    ExistingFile found;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return found;
    }
    found.exists = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        found.refusal = WriteRefusal::NotAPlainFile;
        return found;
    }
    HANDLE handle = CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION information{};
        if (GetFileInformationByHandle(handle, &information) && information.nNumberOfLinks > 1) {
            found.refusal = WriteRefusal::HardLinked;
        }
        CloseHandle(handle);
    }
    return found;
}

int CreateTemporary(std::string& pattern)
{
    std::wstring name = Wide(pattern);
    if (_wmktemp_s(name.data(), name.size() + 1) != 0) {
        return -1;
    }
    const int fd = _wopen(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                          _S_IREAD | _S_IWRITE);
    const int size = WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, nullptr, 0, nullptr,
                                         nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    pattern = utf8;
    return fd;
}

int WriteSome(int fd, const unsigned char* data, std::size_t size)
{
    return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

bool MakeDurable(int fd) { return _commit(fd) == 0; }
int CloseFile(int fd) { return _close(fd); }
void RemoveFile(const std::string& path) { _wunlink(Wide(path).c_str()); }

// Over an existing file, ReplaceFileW keeps its attributes and its access
// control list; a new name is a plain move.
bool MoveIntoPlace(const std::string& from, const std::string& to, bool exists)
{
    const std::wstring source = Wide(from);
    const std::wstring target = Wide(to);
    const BOOL moved = exists
        ? ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)
        : MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!moved) {
        errno = ErrnoFor(GetLastError());
    }
    return moved != 0;
}
#else
int WriteSome(int fd, const unsigned char* data, std::size_t size)
{
    return static_cast<int>(::write(fd, data, std::min<std::size_t>(size, 1u << 30)));
}

bool MakeDurable(int fd) { return ::fsync(fd) == 0; }
int CloseFile(int fd) { return ::close(fd); }
void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

// The new file takes the old one's owner, group and permission bits, or for
// a new name the usual permissions. Set-id bits are not carried over: a
// picture has no business running as anyone.
bool TakeOverProtection(int fd, const struct stat* old)
{
    mode_t mode;
    if (old == nullptr) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    } else {
        mode = old->st_mode & 0777;
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // Not allowed to give the file away: at least the group, which a
            // member may choose.
            (void)!::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
        }
        struct stat now {};
        if (::fstat(fd, &now) != 0) {
            return false;
        }
        if (now.st_gid != old->st_gid) {
            mode &= ~static_cast<mode_t>(0070);
        }
    }
    return ::fchmod(fd, mode) == 0;
}

// The rename is durable once the folder's entry is; a failure here changes
// nothing the user could act on, so it is not reported.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

// Writes all bytes, then makes them durable; errno is kept on failure.
bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const int written = WriteSome(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return MakeDurable(fd);
}

WriteResult Failure(int error)
{
    WriteResult result;
    result.error = error != 0 ? error : EIO;
    return result;
}

}  // namespace

std::string FollowLinks(const std::string& path, int& error)
{
    error = 0;
#ifdef _WIN32
    return path;
#else
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return current;
        }
        std::vector<char> buffer(static_cast<std::size_t>(std::max<off_t>(link.st_size, 64)) + 1);
        ssize_t length;
        while ((length = ::readlink(current.c_str(), buffer.data(), buffer.size())) >= 0 &&
               static_cast<std::size_t>(length) == buffer.size()) {
            buffer.resize(buffer.size() * 2);  // the link grew since lstat
        }
        if (length <= 0) {
            error = length == 0 ? ENOENT : errno;
            return current;
        }
        std::string target(buffer.data(), static_cast<std::size_t>(length));
        current = target[0] == '/' ? target : FolderOf(current) + target;
    }
    error = ELOOP;
    return current;
#endif
}

WriteResult WriteFileAtomically(const std::string& path, const unsigned char* data,
                                std::size_t size)
{
    int error = 0;
    const std::string target = FollowLinks(path, error);
    if (error != 0) {
        return Failure(error);
    }
    WriteResult result;
#ifdef _WIN32
    const ExistingFile existing = Inspect(Wide(target));
    if (existing.refusal != WriteRefusal::None) {
        result.refusal = existing.refusal;
        return result;
    }
    std::string temp = FolderOf(target) + kTemporaryPattern;
    const int fd = CreateTemporary(temp);
    if (fd < 0) {
        return Failure(errno);
    }
    bool written = WriteAll(fd, data, size);
    const bool exists = existing.exists;
#else
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return Failure(errno);
    }
    if (exists && !S_ISREG(old.st_mode)) {
        result.refusal = WriteRefusal::NotAPlainFile;
        return result;
    }
    if (exists && old.st_nlink > 1) {
        result.refusal = WriteRefusal::HardLinked;
        return result;
    }
    // Beside the target, so that the rename stays within one file system.
    std::string temp = FolderOf(target) + kTemporaryPattern;
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return Failure(errno);
    }
    bool written = TakeOverProtection(fd, exists ? &old : nullptr) && WriteAll(fd, data, size);
#endif
    error = errno;
    if (CloseFile(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        RemoveFile(temp);
        return Failure(error);
    }
#ifdef _WIN32
    if (!MoveIntoPlace(temp, target, exists)) {
#else
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
#endif
        error = errno;
        RemoveFile(temp);
        return Failure(error);
    }
#ifndef _WIN32
    SyncFolder(FolderOf(target));
#endif
    return result;
}
