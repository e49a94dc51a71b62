// couloir_man_page: writes the manual page couloir(1), in French, from the
// command line the program itself parses: one section per command, each
// argument and option with the words of its --help.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "command_line.h"

namespace {

// Text as roff reads it: backslashes and hyphens escaped, no line taken for a request.
std::string roff(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
    return out;
}

void writeOption(std::ostream& out, const CLI::App& command, const CLI::Option& option) {
    // The formatter of --help, with its French labels.
    auto formatter = std::dynamic_pointer_cast<CLI::Formatter>(command.get_formatter());
    if (!formatter) formatter = std::make_shared<CLI::Formatter>();
    bool positional = option.get_positional() && option.get_lnames().empty() && option.get_snames().empty();
    out << ".TP\n.B " << roff(formatter->make_option_name(&option, positional)) << "\n";
    std::string opts = formatter->make_option_opts(&option);
    if (!opts.empty()) out << ".I \"" << roff(opts.substr(opts.find_first_not_of(' '))) << "\"\n.br\n";
    out << roff(option.get_description()) << "\n";
}

void writeCommand(std::ostream& out, const CLI::App& command) {
    out << ".SH \"COULOIR " << roff(command.get_name()) << "\"\n";
    std::string usage = "couloir " + command.get_name() + " [OPTIONS]";
    for (const CLI::Option* option : command.get_options())
        if (option->get_positional() && option->get_lnames().empty()) usage += " " + option->get_name(true, false);
    out << ".B \"" << roff(usage) << "\"\n.PP\n" << roff(command.get_description()) << ".\n";
    for (const CLI::Option* option : command.get_options()) writeOption(out, command, *option);
}

constexpr std::string_view kHead = R"(.SH NOM
couloir \- échanges entre la base du club et les fichiers de la fédération
.SH SYNOPSIS
.B couloir
.I COMMANDE
.RI [ OPTIONS ]
.I ARGUMENTS
.br
.B couloir \-\-version
.br
.B couloir \-\-help
.SH DESCRIPTION
.B couloir
importe dans la base d'un club de natation (un fichier SQLite ou une base
PostgreSQL) les résultats d'une compétition, les listes de licences et de
clubs de la fédération, les codes uniques des nageurs et les fichiers de
performances ; il écrit les fichiers d'une compétition et des engagements
d'un club, et exporte l'historique des performances.
Chaque commande est un seul appel : ce qu'elle laisse est ce que donne sa fin
normale, ou ce qui était là avant.
La trace de l'appel est écrite en Windows\-1252 avec des fins de ligne CR LF.
)";

constexpr std::string_view kTail = R"(.SH "CODES DE RETOUR"
.TP
.B 0
l'appel a réussi ;
.TP
.B 1
l'appel a échoué (la trace dit pourquoi) ;
.TP
.B 2
la ligne de commande est incorrecte ou une sortie demandée écraserait la base.
.SH ENVIRONNEMENT
.TP
.B COULOIR_COMPONENTS
dossiers des bibliothèques de composants, séparés par des deux\-points
(par défaut : le dossier installé des composants).
.TP
.B COULOIR_BASE_TIMES
fichier des temps de base du calcul des points
(par défaut : base_times.txt du dossier des données de Couloir).
.TP
.B COULOIR_NOW
date et heure (aaaa\-mm\-jjThh:mm:ss) qui remplacent l'horloge, pour des
traces reproductibles.
.TP
.B COULOIR_BUSY_TIMEOUT
secondes d'attente d'une base SQLite occupée, de 0 à 86400.
.TP
.B COULOIR_WEB_READ_DEADLINE
secondes laissées à un navigateur pour envoyer sa requête à
.BR "couloir serve" .
)";

// Where the package puts what the page names: the folders this build installs into.
void writeFiles(std::ostream& out) {
    out << ".SH FICHIERS\n.TP\n.I " << roff(COULOIR_MAN_COMPONENTSDIR "/") << "\n"
        << "les bibliothèques de composants (libOmbrelay.so, libTessimor.so, libKorvenna.so, libVandrule.so,\n"
        << "libPlessaud.so, libCalcul_Point.so).\n"
        << ".TP\n.I " << roff(COULOIR_MAN_DATADIR "/base_times.txt") << "\n"
        << "les temps de base du calcul des points.\n"
        << ".TP\n.I " << roff(COULOIR_MAN_USERUNITDIR "/couloir-serve.service") << "\n"
        << "le service utilisateur de la page web ; sa base et son port sont lus dans\n"
        << ".IR ~/.config/couloir/serve.env .\n"
        << ".SH \"VOIR AUSSI\"\n.I " << roff(COULOIR_MAN_DOCDIR "/") << "\n"
        << ": le guide (README.md), la page web et son API (docs/web.md), le rapport JSON\n"
        << "(docs/report.md, docs/report.schema.json) et un exemple d'hôte en C (examples/).\n";
}

}  // namespace

int main() {
    CLI::App app{couloir::host::kProgramDescription, "couloir"};
    int status = 0;
    couloir::host::buildCommandLine(app, status);
    std::cout << ".TH COULOIR 1 \"\" \"Couloir " COULOIR_VERSION "\" \"Commandes de l'utilisateur\"\n" << kHead;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
        writeCommand(std::cout, *command);
    std::cout << kTail;
    writeFiles(std::cout);
    return 0;
}
