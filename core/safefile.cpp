// OpenSafe, CloseSafe, SameFile (safefile.h): the temporary file, the rename, the fallback.
#include "core/safefile.h"

#include <chrono>
#include <cstdint>
#include <random>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Tries at unused names before giving up on the folder.
constexpr int NameTries = 16;

bool isseparator(char c)
{
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// The folder part of a path, with its separator: "" for a bare name.
std::string folderof(const std::string& path)
{
    size_t end = path.size();
    while (end > 0 && !isseparator(path[end - 1]))
        end--;
#ifdef _WIN32
    if (end == 0 && path.size() >= 2 && path[1] == ':')
        end = 2;  // "C:name" lies in the drive's current folder
#endif
    return path.substr(0, end);
}

// "~" and seven letters or digits: short enough for a path near the Windows
// limit, and not to be guessed, so nobody can lay a trap under it in advance.
std::string temporaryname(std::mt19937_64& random)
{
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = "~";
    for (int i = 0; i < 7; i++)
        name += Letters[random() % (sizeof Letters - 1)];
    return name;
}

std::mt19937_64 seeded()
{
    uint64_t seed = uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        seed ^= uint64_t(device()) << 32 ^ device();
    } catch (...) {
        // The clock alone; the exclusive creation is what keeps the file safe.
    }
    static uint64_t calls = 0;
    seed += ++calls * 0x9E3779B97F4A7C15u;
    return std::mt19937_64(seed);
}

bool readall(const std::string& path, std::string* bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes->append(buffer, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void writeback(const std::string& path, const std::string& bytes)
{
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

#ifdef _WIN32

// The file a symbolic link names; the path itself for anything else. Asked of
// every existing file: Wine shows a link as a plain file, yet resolves it here.
std::string resolvelinks(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path;
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return path;
    char final[MAX_PATH + 8];
    const DWORD length =
        GetFinalPathNameByHandleA(handle, final, sizeof final, FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    if (length == 0 || length >= sizeof final)
        return path;
    std::string resolved(final, length);
    if (resolved.compare(0, 8, "\\\\?\\UNC\\") == 0)
        return "\\" + resolved.substr(7);
    if (resolved.compare(0, 4, "\\\\?\\") == 0)
        return resolved.substr(4);
    return resolved;
}

// Null when the name is taken (*taken set) or the folder refuses.
std::FILE* createnew(const std::string& path, const std::string&, bool binary, bool* taken)
{
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return nullptr;
    }
    const int fd = _open_osfhandle(intptr_t(handle), _O_WRONLY | (binary ? _O_BINARY : _O_TEXT));
    if (fd < 0) {
        CloseHandle(handle);
        DeleteFileA(path.c_str());
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, binary ? "wb" : "w");
    if (!file) {
        _close(fd);
        DeleteFileA(path.c_str());
    }
    return file;
}

bool inplaceok(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_READONLY);
}

bool writable(const std::string&)
{
    // Windows refuses to replace a read-only file by itself.
    return true;
}

void sync(std::FILE* file)
{
    _commit(_fileno(file));
}

bool replace(const std::string& temporary, const std::string& target)
{
    return MoveFileExA(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

struct FileId {
    DWORD volume = 0, high = 0, low = 0;
};

bool fileid(const std::string& path, FileId* id)
{
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (ok)
        *id = FileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return ok;
}

#else

std::string resolvelinks(std::string path)
{
    // A chain of links, each relative to the folder of the one before it.
    for (int hop = 0; hop < 40; hop++) {
        struct stat entry;
        if (lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode))
            return path;
        char link[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), link, sizeof link - 1);
        if (length <= 0)
            return path;
        const std::string to(link, size_t(length));
        path = to[0] == '/' ? to : folderof(path) + to;
    }
    return path;
}

std::FILE* createnew(const std::string& path, const std::string& target, bool binary, bool* taken)
{
    // The new file gets the permissions of the one it replaces.
    struct stat old;
    const bool replacing = stat(target.c_str(), &old) == 0;
    const mode_t mode = replacing ? old.st_mode & 07777 : 0666;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        *taken = errno == EEXIST;
        return nullptr;
    }
    if (replacing)
        fchmod(fd, mode);
    std::FILE* file = fdopen(fd, binary ? "wb" : "w");
    if (!file) {
        close(fd);
        unlink(path.c_str());
    }
    return file;
}

bool inplaceok(const std::string& path)
{
    struct stat entry;
    return stat(path.c_str(), &entry) == 0 && S_ISREG(entry.st_mode) &&
           access(path.c_str(), W_OK) == 0;
}

bool writable(const std::string& target)
{
    // rename would replace a file that the user made read-only.
    return access(target.c_str(), F_OK) != 0 || access(target.c_str(), W_OK) == 0;
}

void sync(std::FILE* file)
{
    fsync(fileno(file));
}

bool replace(const std::string& temporary, const std::string& target)
{
    return std::rename(temporary.c_str(), target.c_str()) == 0;
}

struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
};

bool fileid(const std::string& path, FileId* id)
{
    struct stat entry;
    if (stat(path.c_str(), &entry) != 0)
        return false;
    *id = FileId{entry.st_dev, entry.st_ino};
    return true;
}

#endif

}  // namespace

SafeFile OpenSafe(const std::string& path, bool binary)
{
    SafeFile safe;
    safe.target = resolvelinks(path);
    if (!writable(safe.target))
        return safe;
    const std::string folder = folderof(safe.target);
    std::mt19937_64 random = seeded();
    for (int i = 0; i < NameTries && !safe.file; i++) {
        safe.temporary = folder + temporaryname(random);
        bool taken = false;
        safe.file = createnew(safe.temporary, safe.target, binary, &taken);
        if (!taken)
            break;
    }
    if (safe.file)
        return safe;
    safe.temporary.clear();
    if (inplaceok(safe.target) && readall(safe.target, &safe.old))
        safe.file = std::fopen(safe.target.c_str(), binary ? "wb" : "w");
    return safe;
}

bool CloseSafe(SafeFile* safe, bool ok)
{
    if (!safe->file)
        return false;
    bool good = std::fflush(safe->file) == 0 && ok;
    good = !std::ferror(safe->file) && good;
    if (good)
        sync(safe->file);
    good = std::fclose(safe->file) == 0 && good;
    safe->file = nullptr;
    if (safe->temporary.empty()) {
        if (!good)
            writeback(safe->target, safe->old);
        return good;
    }
    if (good && replace(safe->temporary, safe->target))
        return true;
    std::remove(safe->temporary.c_str());
    return false;
}

bool SameFile(const std::string& a, const std::string& b)
{
    FileId x, y;
    if (!fileid(a, &x) || !fileid(b, &y))
        return false;
#ifdef _WIN32
    return x.volume == y.volume && x.high == y.high && x.low == y.low;
#else
    return x.device == y.device && x.inode == y.inode;
#endif
}
