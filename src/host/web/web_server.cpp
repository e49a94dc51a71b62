#include "web_server.h"

#include <cctype>
#include <fstream>

#include "shared/files.h"
#include "shared/platform.h"
#include "shared/text_date.h"
#include "form_receiver.h"
#include "operation_table.h"
#include "uploads.h"
#include "web_assets.h"

using json = nlohmann::json;

namespace couloir::host::web {
namespace {

template <typename Json>
void sendJson(httplib::Response& response, const Json& body, int status = 200) {
    response.status = status;
    response.set_content(body.dump(-1, ' ', false, Json::error_handler_t::replace), "application/json; charset=utf-8");
}

void sendError(httplib::Response& response, int status, const std::string& message) {
    sendJson(response, json{{"error", message}}, status);
}

const char* contentType(std::string_view name) {
    if (name.ends_with(".html")) return "text/html; charset=utf-8";
    if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
    if (name.ends_with(".css")) return "text/css; charset=utf-8";
    if (name.ends_with(".svg")) return "image/svg+xml";
    return "application/octet-stream";
}

std::string readFile(const std::string& path) {
    std::ifstream file(platform::pathOf(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool isSet(const ReceivedForm& form, const char* name) {
    std::string value = form.field(name);
    return value == "1" || value == "true" || value == "on" || value == "oui";
}

// The operation's own fields, checked; a French message when one is wrong.
std::string readArguments(const OperationInfo& operation, const ReceivedForm& form, OperationArguments& a,
                          bool& dryRun) {
    for (const OperationField& field : operation.fields) {
        if (field.isFlag()) {
            a.*field.flag = isSet(form, field.name);
            continue;
        }
        std::string value = form.field(field.name);
        if (value.empty() && field.required) return "Champ obligatoire manquant : " + std::string(field.label) + ".";
        if (field.isNumber() && !isRowNumber(value))
            return std::string(field.label) + " : « " + value + " » n'est pas un nombre entier.";
        a.*field.text = value;
    }
    dryRun = isSet(form, "dry_run");
    if (dryRun && !operation.dryRun) return "Cette opération ne se vérifie pas d'abord : lancez-la directement.";
    if (std::string problem = argumentsProblem(operation, a); !problem.empty()) {
        problem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(problem[0])));
        return problem + ".";
    }
    return {};
}

// What the page builds its menus and forms from: every operation of the table.
json kindsJson() {
    auto typeName = [](OperationField::Type type) {
        switch (type) {
            case OperationField::Type::Competition: return "competition";
            case OperationField::Type::NewCompetition: return "new_competition";
            case OperationField::Type::Profile: return "profile";
            case OperationField::Type::Selection: return "selection";
            case OperationField::Type::Club: return "club";
            case OperationField::Type::AllClubs: return "all_clubs";
            case OperationField::Type::OwnClub: return "own_club";
            case OperationField::Type::Swimmer: return "swimmer";
        }
        return "";
    };
    json kinds = json::array();
    for (const OperationInfo& operation : operationTable()) {
        json fields = json::array();
        for (const OperationField& field : operation.fields)
            fields.push_back(json{{"name", field.name},
                                  {"type", typeName(field.type)},
                                  {"label", field.label},
                                  {"required", field.required}});
        const char* folder = operation.folder == OperationInfo::Folder::Reads    ? "reads"
                             : operation.folder == OperationInfo::Folder::Writes ? "writes"
                                                                                 : "none";
        kinds.push_back(json{{"name", operation.name},
                             {"title", operation.title},
                             {"menu", operation.menu ? json(operation.menu) : json(nullptr)},
                             {"folder", folder},
                             {"files", operation.files},
                             {"dry_run", operation.dryRun},
                             {"fields", fields}});
    }
    return kinds;
}

// The files sent for an import, under the names they are saved as.
std::string readFiles(const OperationInfo& operation, const ReceivedForm& form, std::vector<UploadedFile>& files) {
    OperationKind kind = operation.kind;
    for (const ReceivedFile& file : form.files) {
        if (file.clientName.empty()) continue;
        std::string name = acceptedName(kind, file.clientName);
        if (name.empty())
            return "Fichier refusé : " + file.clientName + " (attendus : " + expectedNames(kind) + ").";
        for (const UploadedFile& other : files)
            if (other.name == name) return "Fichier envoyé deux fois : " + name + ".";
        files.push_back({name, file.path});
    }
    if (operation.folder != OperationInfo::Folder::Reads) return files.empty() ? std::string() : "Cette opération ne reçoit pas de fichiers.";
    if (files.empty()) return "Aucun fichier d'échange reçu (attendus : " + expectedNames(kind) + ").";
    return {};
}

}  // namespace

WebServer::WebServer(const std::string& database, std::string listen, RequestLimits limits)
    : server_(limits),
      listen_(std::move(listen)),
      access_(newToken()),
      browser_(database),
      search_(database),
      duplicates_(database),
      runner_(database, [this] {
          search_.forget();
          duplicates_.forget();
      }) {
    server_.set_payload_max_length(kMaxUploadBytes + (std::size_t{1} << 20));
    routes();
}

bool WebServer::bind(int port) {
    port_ = server_.bindTo(listen_, port);
    if (port_ > 0) access_.servedAt(listen_, port_);
    return port_ > 0;
}

std::string WebServer::address() const {
    return "http://" + listen_ + ":" + std::to_string(port_) + "/?token=" + access_.token();
}

void WebServer::run() {
    // The search's index and the swimmers stored twice are read before the
    // first request is taken (they wait in the listening queue meanwhile),
    // so that no page waits for them.
    search_.prepare();
    duplicates_.prepare();
    server_.listen_after_bind();
}

void WebServer::routes() {
    server_.set_default_headers({{"Content-Security-Policy",
                                  "default-src 'self'; img-src 'self' data:; style-src 'self'; script-src 'self'; "
                                  "frame-ancestors 'none'"},
                                 {"X-Content-Type-Options", "nosniff"},
                                 {"Referrer-Policy", "no-referrer"},
                                 {"Cache-Control", "no-store"}});
    // Nothing is answered without the token; nothing is changed from another site's page.
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        if (!access_.holdsToken(request)) {
            sendError(response, 401, "Accès refusé : ouvrez l'adresse que couloir serve a affichée, avec son jeton.");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (request.method != "GET" && !access_.originAllowed(request)) {
            sendError(response, 403, "Requête refusée : elle ne vient pas d'une page de ce serveur.");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    server_.Get("/", [this](const httplib::Request& request, httplib::Response& response) {
        if (request.has_param("token")) {
            // The token goes into the cookie and out of the address bar.
            response.set_header("Set-Cookie", access_.cookie());
            response.set_redirect("/", 303);
            return;
        }
        const Asset* page = findAsset("index.html");
        response.set_content(std::string(page->content), contentType(page->name));
    });
    server_.Get(R"(/assets/([a-z]+\.(?:js|css|svg)))", [](const httplib::Request& request, httplib::Response& response) {
        const Asset* asset = findAsset(request.matches[1].str());
        if (!asset) return sendError(response, 404, "Introuvable.");
        response.set_content(std::string(asset->content), contentType(asset->name));
    });

    server_.Get("/api/summary", [this](const httplib::Request&, httplib::Response& response) {
        json summary = browser_.summary();
        summary["version"] = COULOIR_VERSION;  // shown in every page's footer
        sendJson(response, summary);
    });
    server_.Get("/api/competitions", [this](const httplib::Request&, httplib::Response& response) {
        sendJson(response, browser_.competitions());
    });
    // What each operation takes, for the page's menus and forms.
    server_.Get("/api/kinds", [](const httplib::Request&, httplib::Response& response) {
        sendJson(response, kindsJson());
    });
    server_.Get("/api/profiles", [this](const httplib::Request&, httplib::Response& response) {
        sendJson(response, browser_.profiles());
    });
    server_.Get("/api/clubs", [this](const httplib::Request&, httplib::Response& response) {
        sendJson(response, browser_.clubs());
    });
    server_.Get(R"(/api/competitions/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
        auto competition = browser_.competition(request.matches[1].str());
        if (!competition) return sendError(response, 404, "Compétition inconnue.");
        response.set_content(std::move(*competition), "application/json; charset=utf-8");
    });
    server_.Get(R"(/api/clubs/([^/]{1,32}))", [this](const httplib::Request& request, httplib::Response& response) {
        auto club = browser_.club(request.matches[1].str());
        if (!club) return sendError(response, 404, "Club inconnu.");
        sendJson(response, *club);
    });
    server_.Get("/api/search", [this](const httplib::Request& request, httplib::Response& response) {
        auto found = search_.find(request.get_param_value("q"));
        if (!found) return sendError(response, 400, "Tapez au moins deux lettres ou chiffres.");
        sendJson(response, *found);
    });
    server_.Get("/api/duplicates", [this](const httplib::Request&, httplib::Response& response) {
        sendJson(response, duplicates_.listing());
    });
    server_.Get(R"(/api/swimmers/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
        auto swimmer = browser_.swimmer(request.matches[1].str());
        if (!swimmer) return sendError(response, 404, "Nageur inconnu.");
        sendJson(response, *swimmer);
    });

    server_.Get("/api/operations", [this](const httplib::Request&, httplib::Response& response) {
        json list = json::array();
        for (const auto& operation : runner_.list()) list.push_back(operation->summary());
        sendJson(response, list);
    });
    server_.Post("/api/operations", [this](const httplib::Request& request, httplib::Response& response,
                                           const httplib::ContentReader& reader) {
        postOperation(request, response, reader);
    });
    server_.Get(R"(/api/operations/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
        auto operation = runner_.find(request.matches[1].str());
        if (!operation) return sendError(response, 404, "Opération inconnue.");
        json detail = operation->detail();
        detail["files"] = operation->writtenFiles();
        sendJson(response, detail);
    });
    server_.Get(R"(/api/operations/(\d+)/events)", [this](const httplib::Request& request, httplib::Response& response) {
        sendEvents(request, response);
    });
    server_.Get(R"(/api/operations/(\d+)/files(?:/([^/]+)|\.zip))",
                [this](const httplib::Request& request, httplib::Response& response) { sendFiles(request, response); });
    server_.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
        std::string message = "Erreur interne.";
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            message = std::string("Erreur interne : ") + e.what();
        } catch (...) {
        }
        sendError(response, 500, message);
    });
}

void WebServer::postOperation(const httplib::Request& request, httplib::Response& response,
                              const httplib::ContentReader& reader) {
    if (!request.is_multipart_form_data()) return sendError(response, 400, "Formulaire multipart attendu.");
    // The files go to disk as they arrive; what the operation does not take goes with the folder.
    StagingFolder staging(runner_.newUploadFolder());
    ReceivedForm form = receiveForm(reader, staging.path());
    if (!form.refusal.empty()) return sendError(response, 400, form.refusal);
    const OperationInfo* operation = findOperation(form.field("kind"));
    if (!operation) return sendError(response, 400, "Opération inconnue : " + form.field("kind") + ".");
    OperationArguments arguments;
    bool dryRun = false;
    std::vector<UploadedFile> files;
    for (const std::string& problem : {readArguments(*operation, form, arguments, dryRun), readFiles(*operation, form, files)})
        if (!problem.empty()) return sendError(response, 400, problem);
    std::shared_ptr<Operation> running;
    std::string refusal;
    auto started = runner_.start(operation->kind, std::move(arguments), dryRun, std::move(files), running, refusal);
    if (running)
        return sendJson(response,
                        json{{"error", "Une opération est déjà en cours : " + std::string(operationInfo(running->kind()).name) +
                                           " (n° " + running->id() + ")."},
                             {"running", running->summary()}},
                        409);
    if (!started) return sendError(response, 400, "Opération refusée : " + refusal + ".");
    sendJson(response, json{{"id", started->id()}}, 202);
}

void WebServer::sendFiles(const httplib::Request& request, httplib::Response& response) {
    auto operation = runner_.find(request.matches[1].str());
    if (!operation) return sendError(response, 404, "Opération inconnue.");
    std::string wanted = request.matches[2].str();
    if (operation->running())
        return sendError(response, 409, "L'opération n'est pas terminée : ses fichiers ne sont pas encore écrits.");
    std::vector<std::string> names = operation->writtenFiles();
    if (wanted.empty()) {  // files.zip: the whole set, made once when the operation ended
        if (names.empty() || !fileExists(operation->zipPath())) return sendError(response, 404, "Aucun fichier écrit.");
        response.set_header("Content-Disposition", "attachment; filename=\"fichiers-" + operation->id() + ".zip\"");
        response.set_content(readFile(operation->zipPath()), "application/zip");
        return;
    }
    // Only a name the output folder lists is read, never a path the client made.
    for (const std::string& name : names) {
        if (name != wanted) continue;
        response.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
        response.set_content(readFile(operation->outputFolder() + "/" + name), "text/plain; charset=windows-1252");
        return;
    }
    sendError(response, 404, "Fichier inconnu.");
}

void WebServer::sendEvents(const httplib::Request& request, httplib::Response& response) {
    auto operation = runner_.find(request.matches[1].str());
    if (!operation) return sendError(response, 404, "Opération inconnue.");
    response.set_header("Cache-Control", "no-cache");
    // Every event from the first, each with its number: a page opened late
    // follows the operation from its start, and a browser that reconnects
    // (it sends the last number it had) resumes after it, never twice.
    std::size_t next = 0;
    if (std::string last = request.get_header_value("Last-Event-ID"); isRowNumber(last) && !last.empty())
        next = std::stoull(last);
    response.set_chunked_content_provider(
        "text/event-stream", [operation, next](std::size_t offset, httplib::DataSink& sink) mutable {
            bool finished = false;
            std::vector<std::string> events = operation->eventsFrom(next, std::chrono::seconds(1), finished);
            // A browser whose stream drops asks again after a second.
            std::string chunk = offset == 0 ? "retry: 1000\n\n" : "";
            for (const std::string& event : events) chunk += "id: " + std::to_string(++next) + "\ndata: " + event + "\n\n";
            if (chunk.empty()) chunk = ": en cours\n\n";  // keeps the connection alive
            if (!sink.write(chunk.data(), chunk.size())) return false;
            if (finished) sink.done();
            return true;
        });
}

}  // namespace couloir::host::web
