#include "shared/error.h"
#include "shared/platform.h"

#include <exception>
#include <filesystem>
#include <new>

namespace couloir::errors {

Error invalidCall() { return {kInvalidCall, "Argument ou appel de procédure incorrect"}; }
Error overflow() { return {kOverflow, "Dépassement de capacité"}; }
Error subscriptOutOfRange() { return {kSubscriptOutOfRange, "L'indice n'appartient pas à la sélection"}; }
Error typeMismatch() { return {kTypeMismatch, "Incompatibilité de type"}; }
Error fileNotFound(const std::string& path) { return {kFileNotFound, "Fichier introuvable : " + path}; }
Error diskFull(const std::string& path) { return {kDiskFull, "Disque plein : " + path}; }
Error pastEndOfFile() { return {kPastEndOfFile, "Entrée au-delà de la fin du fichier"}; }
Error emptyFile(const std::string& path) {
    return {kPastEndOfFile, "Le fichier " + platform::utf8Of(platform::pathOf(path).filename()) +
                                " est vide : il ne contient aucune ligne"};
}
Error unreadableLine(const std::string& path, long lineNumber, const std::string& why) {
    return {kBadFileFormat, "Ligne " + std::to_string(lineNumber) + " du fichier " +
                                platform::utf8Of(platform::pathOf(path).filename()) + " illisible : " + why};
}
Error pathNotFound(const std::string& path) {
    return {kPathNotFound, "Chemin d'accès introuvable : " + path};
}
Error invalidNull() { return {kInvalidNull, "Utilisation incorrecte de Null"}; }
Error cannotCreateObject(const std::string& progId) {
    return {kCannotCreateObject, "Le composant " + progId + " ne peut pas créer d'objet"};
}
Error memberNotFound(const std::string& member) {
    return {kMemberNotFound, "Propriété ou méthode non gérée par cet objet : " + member};
}
Error keyExists() { return {kKeyExists, "Cette clé est déjà associée à un élément de cette collection"}; }
Error noCurrentRecord() {
    return {kNoCurrentRecord, "BOF ou EOF est égal à True, ou l'enregistrement actuel a été supprimé"};
}

Error databaseInUse(const std::string& path, int waitedSeconds) {
    return {kDatabaseInUse, "Impossible d'utiliser " + path + " : la base est utilisée par un autre programme (" +
                                std::to_string(waitedSeconds) + " s d'attente sans qu'elle se libère)"};
}
Error textAfterStatement() { return {kTextAfterStatement, "Caractères trouvés après la fin de l'instruction SQL"}; }
Error cannotConnect(const std::string& server, const std::string& reason) {
    return {kCannotConnect, "Échec de la connexion à " + server + " : " + reason};
}

Error unrecognizedDatabase(const std::string& path) {
    return {kUnrecognizedDatabase, "Format de base de données non reconnu : " + path + " n'est pas une base de club"};
}

}  // namespace couloir::errors

namespace couloir {

std::string withStatement(std::string message, std::string_view sql) {
    constexpr std::size_t kStatementInMessage = 300;
    if (sql.empty()) return message;
    message += " (requête : ";
    message += sql.size() > kStatementInMessage ? std::string(sql.substr(0, kStatementInMessage)) + "…" : std::string(sql);
    return message + ")";
}

Error caughtError() {
    try {
        throw;
    } catch (const Error& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return {errors::kOutOfMemory, "Mémoire insuffisante"};
    } catch (const std::exception& error) {
        return {errors::kInternalError, std::string("Erreur interne : ") + error.what()};
    } catch (...) {
        return {errors::kInternalError, "Erreur interne"};
    }
}

}  // namespace couloir
