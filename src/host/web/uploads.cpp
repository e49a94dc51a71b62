#include "uploads.h"

#include <cctype>
#include <vector>

#include "operation_table.h"
#include "shared/text_date.h"

namespace couloir::host::web {

std::vector<std::string> filesRead(OperationKind kind) {
    const OperationInfo& operation = operationInfo(kind);
    return operation.folder == OperationInfo::Folder::Reads ? operation.files : std::vector<std::string>{};
}

namespace {

// A code file keeps its own name: letters, digits, "_", "-" and one ".txt".
bool isCodeFileName(const std::string& name) {
    if (name.size() < 5 || name.size() > 64 || name.substr(name.size() - 4) != ".txt") return false;
    for (std::size_t i = 0; i + 4 < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (!std::isalnum(c) && c != '_' && c != '-') return false;
    }
    return true;
}

}  // namespace

std::string acceptedName(OperationKind kind, std::string_view clientName) {
    std::size_t slash = clientName.find_last_of("/\\\\");
    std::string base = toLowerAscii(slash == std::string_view::npos ? clientName : clientName.substr(slash + 1));
    if (kind == OperationKind::UpdateCodes) return isCodeFileName(base) ? base : std::string();
    for (const std::string& name : filesRead(kind))
        if (base == name) return name;
    return {};
}

std::string expectedNames(OperationKind kind) {
    if (kind == OperationKind::UpdateCodes) return "des fichiers de codes uniques (.txt)";
    std::string list;
    for (const std::string& name : filesRead(kind)) list += (list.empty() ? "" : ", ") + name;
    return list;
}

}  // namespace couloir::host::web
