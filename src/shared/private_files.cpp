#include "shared/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "shared/error.h"

namespace fs = std::filesystem;

namespace couloir {
namespace {

constexpr mode_t kOwnerFile = S_IRUSR | S_IWUSR;
constexpr mode_t kOwnerFolder = S_IRWXU;

bool isLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

Error openingError(const std::string& path, int error) {
    if (error == ELOOP || error == EMLINK || (error == EEXIST && isLink(path)))
        return {errors::kPathFileAccess, "Lien symbolique refusé : " + path};
    if (error == EEXIST) return {errors::kFileAlreadyExists, "Ce fichier existe déjà : " + path};
    return {errors::kPathNotFound, "Chemin d'accès introuvable : " + path + " (" + std::strerror(error) + ")"};
}

}  // namespace

std::FILE* openPrivateFile(const std::string& path, WriteMode mode) {
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    if (mode == WriteMode::Replace) flags |= O_TRUNC;
    if (mode == WriteMode::Append) flags |= O_APPEND;
    if (mode == WriteMode::CreateNew) flags |= O_EXCL;
    int fd = ::open(path.c_str(), flags, kOwnerFile);
    if (fd < 0) throw openingError(path, errno);
    // An existing file keeps its mode through open(): make it owner-only too.
    // A device or a pipe (a trace sent to /dev/null) is not ours to change.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || (S_ISREG(info.st_mode) && ::fchmod(fd, kOwnerFile) != 0)) {
        int error = errno;
        ::close(fd);
        throw openingError(path, error);
    }
    std::FILE* file = ::fdopen(fd, mode == WriteMode::Append ? "ab" : "wb");
    if (!file) {
        ::close(fd);
        throw openingError(path, errno);
    }
    return file;
}

void writePrivateFile(const std::string& path, WriteMode mode, std::string_view content) {
    std::FILE* file = openPrivateFile(path, mode);
    bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    if (std::fclose(file) != 0 || !written) throw errors::diskFull(path);
}

void createPrivateFolders(const std::string& path) {
    fs::path folder;
    for (const auto& part : fs::path(path)) {
        folder /= part;
        if (::mkdir(folder.c_str(), kOwnerFolder) == 0) {
            ::chmod(folder.c_str(), kOwnerFolder);  // whatever the umask took away
        } else if (errno != EEXIST) {
            throw openingError(folder.string(), errno);
        }
    }
    std::error_code ec;
    if (!fs::is_directory(path, ec)) throw openingError(path, ENOTDIR);
}

}  // namespace couloir
