#include "zip_archive.h"

#include <zip.h>

#include <stdexcept>

namespace couloir::host::web {

void writeZip(const std::string& archive, const std::string& folder, const std::vector<std::string>& names) {
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) throw std::runtime_error("création impossible de l'archive " + archive);
    for (const std::string& name : names) {
        std::string path = folder + "/" + name;
        // Length 0: the whole file.
        zip_source_t* source = zip_source_file(zip, path.c_str(), 0, 0);
        if (!source || zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (source) zip_source_free(source);
            zip_discard(zip);
            throw std::runtime_error("ajout impossible de " + name + " à l'archive");
        }
    }
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        throw std::runtime_error("écriture impossible de l'archive " + archive);
    }
}

}  // namespace couloir::host::web
