#include "shared/private_files.h"

#include "shared/error.h"
#include "shared/platform.h"

namespace couloir {
namespace {

Error openingError(const std::string& path, std::error_code error) {
    if (error == std::errc::too_many_symbolic_link_levels ||
        (error == std::errc::file_exists && platform::entryKind(path) == platform::EntryKind::Link))
        return {errors::kPathFileAccess, "Lien symbolique refusé : " + path};
    if (error == std::errc::file_exists) return {errors::kFileAlreadyExists, "Ce fichier existe déjà : " + path};
    return {errors::kPathNotFound, "Chemin d'accès introuvable : " + path + " (" + error.message() + ")"};
}

}  // namespace

std::FILE* openPrivateFile(const std::string& path, WriteMode mode) {
    std::error_code error;
    std::FILE* file = platform::openOwnerOnlyFile(path, mode, error);
    if (!file) throw openingError(path, error);
    return file;
}

void writePrivateFile(const std::string& path, WriteMode mode, std::string_view content) {
    std::FILE* file = openPrivateFile(path, mode);
    bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    if (std::fclose(file) != 0 || !written) throw errors::diskFull(path);
}

void createPrivateFolders(const std::string& path) {
    std::filesystem::path folder;
    for (const auto& part : platform::pathOf(path)) {
        folder /= part;
        std::error_code error;
        platform::createOwnerOnlyFolder(platform::utf8Of(folder), error);
        if (error) throw openingError(platform::utf8Of(folder), error);
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(platform::pathOf(path), ec))
        throw openingError(path, std::make_error_code(std::errc::not_a_directory));
}

}  // namespace couloir
