#include "french_cli.h"

#include <map>

namespace couloir::host {
namespace {

constexpr const char* kHelpFlag = "-h,--help";
constexpr const char* kHelpText = "Affiche cette aide";

void frenchFormatter(CLI::App& app) {
    auto formatter = app.get_formatter();
    for (const auto& [label, french] : std::map<std::string, std::string>{{"Usage", "Utilisation"},
                                                                          {"OPTIONS", "OPTIONS"},
                                                                          {"SUBCOMMAND", "COMMANDE"},
                                                                          {"SUBCOMMANDS", "COMMANDES"},
                                                                          {"Positionals", "Arguments"},
                                                                          {"REQUIRED", "OBLIGATOIRE"},
                                                                          {"TEXT", "TEXTE"},
                                                                          {"Needs", "Nécessite"},
                                                                          {"Excludes", "Exclut"},
                                                                          {"Env", "Environnement"}})
        formatter->label(label, french);
}

// The deepest subcommand the user chose: its help is the one to read.
const CLI::App* chosenCommand(const CLI::App& app) {
    for (const CLI::App* sub : app.get_subcommands()) return chosenCommand(*sub);
    return &app;
}

std::string frenchReason(const CLI::ParseError& error) {
    static const std::map<std::string, std::string> reasons = {
        {"RequiredError", "un argument ou une option obligatoire manque"},
        {"ExtrasError", "argument ou option en trop"},
        {"ConversionError", "valeur incorrecte"},
        {"ValidationError", "valeur incorrecte"},
        {"ArgumentMismatch", "nombre de valeurs incorrect pour une option"},
        {"ExcludesError", "options incompatibles entre elles"},
        {"RequiresError", "option qui en demande une autre"},
        {"OptionNotFound", "option inconnue"},
    };
    auto found = reasons.find(error.get_name());
    return found != reasons.end() ? found->second : "ligne de commande incorrecte";
}

}  // namespace

void useFrench(CLI::App& app) {
    frenchFormatter(app);
    app.set_help_flag(kHelpFlag, kHelpText);
    for (CLI::App* sub : app.get_subcommands({})) {
        sub->set_help_flag(kHelpFlag, kHelpText);
        sub->group("Commandes");
    }
}

std::string frenchUsageError(const CLI::ParseError& error, const CLI::App& app) {
    const CLI::App* command = chosenCommand(app);
    std::string name = command == &app ? "couloir" : "couloir " + command->get_name();
    return "couloir : " + frenchReason(error) + ". Voir « " + name + " --help ».";
}

}  // namespace couloir::host
