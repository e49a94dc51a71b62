// couloir serve DB: the web page on the club database, for as long as the
// command runs (Ctrl+C stops it and removes its working folders).
#include <iostream>
#include <memory>
#include <optional>

#include "commands.h"
#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"
#include "shared/platform.h"
#include "web/stop_requests.h"
#include "web/web_server.h"

namespace couloir::host {

void setupServe(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("serve", "Ouvre la page web du club sur la base (dans un navigateur)");
    struct Options {
        std::string database, listen = "127.0.0.1";
        int port = 8080;
        bool open = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("DB", options->database, "Base de données du club : fichier SQLite ou URI postgresql://")->required();
    command->add_option("--port", options->port, "Port d'écoute (0 : un port libre ; par défaut 8080)")
        ->type_name("PORT")
        ->check(CLI::Range(0, 65535).description(""));
    command->add_option("--listen", options->listen,
                        "Adresse d'écoute (par défaut 127.0.0.1 : cette machine seulement)");
    command->add_flag("--open", options->open, "Ouvre la page dans le navigateur");
    command->callback([options, &status] {
        try {
            openDatabase(options->database, DatabaseOptions{});  // a club database, or the reason why not
        } catch (const Error& e) {
            std::cerr << "couloir : " << options->database << " : " << e.description() << "\n";
            status = kFailure;
            return;
        }
        web::RequestLimits limits;
        try {
            limits = web::requestLimitsFromEnvironment();
        } catch (const Error& e) {  // a setting of the environment, like COULOIR_BUSY_TIMEOUT: a usage error
            std::cerr << "couloir : " << e.description() << "\n";
            status = kUsage;
            return;
        }
        // Ctrl+C and kill end the server cleanly.
        web::StopRequests stopRequests;

        std::optional<web::WebServer> made;
        try {
            made.emplace(options->database, options->listen, limits);
        } catch (const std::exception& e) {  // its working folder cannot be made
            std::cerr << "couloir : " << e.what() << "\n";
            status = kFailure;
            return;
        }
        web::WebServer& server = *made;
        if (!server.bind(options->port)) {
            std::cerr << "couloir : impossible d'écouter sur " << options->listen << ":" << options->port
                      << " (port déjà pris ?)\n";
            status = kFailure;
            return;
        }
        stopRequests.onStop([&server] { server.stop(); });
        std::cout << "Couloir est ouvert sur " << options->database << " :\n  " << server.address()
                  << "\nOuvrez cette adresse dans un navigateur. Ctrl+C pour arrêter.\n"
                  << std::flush;
        if (options->open && !platform::openInBrowser(server.address()))
            std::cerr << "couloir : le navigateur n'a pas pu être ouvert ; ouvrez l'adresse vous-même.\n";
        server.run();
        stopRequests.release();
        status = kSuccess;
    });
}

}  // namespace couloir::host
