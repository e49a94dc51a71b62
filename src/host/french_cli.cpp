#include "french_cli.h"

#include <map>

#include "shared/text_date.h"

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

// The French for a kind of usage error.
std::string plainReason(const CLI::ParseError& error) {
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

// What follows the colon of CLI11's message: the arguments it names.
std::string namedArguments(const CLI::ParseError& error) {
    std::string message = error.what();
    std::size_t colon = message.rfind(": ");
    return colon == std::string::npos ? std::string() : message.substr(colon + 2);
}

std::string frenchReason(const CLI::ParseError& error, const CLI::App& app, const std::vector<std::string>& arguments) {
    // No command was recognised: the first word is the unknown one.
    if (app.get_subcommands().empty()) {
        if (arguments.empty()) return "commande manquante";
        const std::string& first = arguments.front();
        return (first.starts_with('-') ? "option inconnue : " : "commande inconnue : ") + first;
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        std::string extras = namedArguments(error);
        return (extras.starts_with('-') ? "option inconnue : " : "argument en trop : ") + extras;
    }
    if (dynamic_cast<const CLI::ValidationError*>(&error) || dynamic_cast<const CLI::ConversionError*>(&error))
        return "valeur incorrecte, " + std::string(error.what());
    return plainReason(error);
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

std::string frenchUsageError(const CLI::ParseError& error, const CLI::App& app, const std::vector<std::string>& arguments) {
    const CLI::App* command = chosenCommand(app);
    std::string name = command == &app ? "couloir" : "couloir " + command->get_name();
    return "couloir : " + frenchReason(error, app, arguments) + ". Voir « " + name + " --help ».";
}

CLI::Validator rowNumber() {
    return CLI::Validator(
        [](std::string& value) {
            return isRowNumber(value) ? std::string() : "« " + value + " » n'est pas un nombre entier";
        },
        "");
}

}  // namespace couloir::host
