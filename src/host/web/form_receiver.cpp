#include "form_receiver.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "shared/error.h"
#include "shared/platform.h"
#include "shared/private_files.h"
#include "uploads.h"

namespace couloir::host::web {
namespace {

// A plain field holds a kind, a number, a club code: a few bytes.
constexpr std::size_t kMaxFieldBytes = 4096;

}  // namespace

std::string ReceivedForm::field(const std::string& name) const {
    auto found = fields.find(name);
    return found == fields.end() ? std::string() : found->second;
}

ReceivedForm receiveForm(const httplib::ContentReader& reader, const std::string& staging) {
    ReceivedForm form;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(nullptr, std::fclose);
    std::string* value = nullptr;
    std::size_t total = 0;
    auto refuse = [&](std::string why) {
        if (form.refusal.empty()) form.refusal = std::move(why);
        return false;
    };
    // The callbacks run inside the HTTP library: nothing may be thrown through it.
    bool read = reader(
        [&](const httplib::MultipartFormData& part) {
            out.reset();
            value = nullptr;
            if (part.filename.empty()) {
                value = &form.fields[part.name];
                value->clear();
                return true;
            }
            if (part.name != "files") return refuse("Fichier envoyé sous un champ inattendu : " + part.name + ".");
            if (form.files.size() == kMaxUploadFiles)
                return refuse("Trop de fichiers : " + std::to_string(kMaxUploadFiles) + " au plus.");
            std::string path = staging + "/" + std::to_string(form.files.size());
            try {
                out.reset(openPrivateFile(path, WriteMode::CreateNew));
            } catch (...) {
                return refuse("Le fichier " + part.filename + " n'a pas pu être enregistré : " + caughtError().description());
            }
            form.files.push_back({part.filename, path});
            return true;
        },
        [&](const char* data, std::size_t length) {
            if (value) {
                if (value->size() + length > kMaxFieldBytes) return refuse("Champ de formulaire trop long.");
                value->append(data, length);
                return true;
            }
            if (!out) return true;
            total += length;
            if (total > kMaxUploadBytes) return refuse("Fichiers trop volumineux.");
            if (std::fwrite(data, 1, length, out.get()) != length)
                return refuse("Le fichier " + form.files.back().clientName + " n'a pas pu être enregistré.");
            return true;
        });
    if (out && std::fclose(out.release()) != 0) refuse("Un fichier n'a pas pu être enregistré.");
    if (!read) refuse("Formulaire incomplet ou illisible.");
    return form;
}

StagingFolder::StagingFolder(std::string path) : path_(std::move(path)) { createPrivateFolders(path_); }

StagingFolder::~StagingFolder() {
    std::error_code ec;
    std::filesystem::remove_all(platform::pathOf(path_), ec);
}

}  // namespace couloir::host::web
