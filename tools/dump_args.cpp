#include "tools/dump_args.h"

#include <algorithm>
#include <string_view>

#include "core/prg_reader.h"
#include "platform/file.h"

#ifndef TRESK_VERSION
#error "TRESK_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace treskdump {
namespace {

// Reads the value of an option that takes one: "--name value",
// "--name=value", "-x value" or "-xvalue" (shortName 0: no short form).
// Returns 0 when args[i] is not this option, -1 when its value is missing or
// empty, 1 otherwise; i moves past a value given as the next argument. An
// empty value is refused: "-o ''" must not quietly mean standard output.
int OptionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view longName,
                char shortName, std::string& value) {
    const std::string& arg = args[i];
    if (arg == longName || (shortName != 0 && arg.size() == 2 && arg[1] == shortName)) {
        if (i + 1 >= args.size()) {
            return -1;
        }
        value = args[++i];
    } else if (arg.size() > longName.size() && arg.compare(0, longName.size(), longName) == 0 &&
               arg[longName.size()] == '=') {
        value = arg.substr(longName.size() + 1);
    } else if (shortName != 0 && arg[1] == shortName) {
        value = arg.substr(2);
    } else {
        return 0;
    }
    return value.empty() ? -1 : 1;
}

bool SetLayout(const std::string& value, Options& options, std::string& error) {
    options.autoLayout = value == "auto";
    options.layout = options.autoLayout ? 0 : ParseListFormat(value);
    if (options.layout < 0) {
        error = "formato non valido '" + value + "' (ammessi: new, old, mem, 0, 1, 2, auto)";
        return false;
    }
    return true;
}

std::optional<OutputForm> FormOption(const std::string& arg) {
    if (arg == "--csv") {
        return OutputForm::csv;
    }
    if (arg == "--pdf") {
        return OutputForm::pdf;
    }
    if (arg == "--xlsx") {
        return OutputForm::xlsx;
    }
    return std::nullopt;
}

// Applies the option args[i] to options; false, with the reason in error,
// when it is unknown or lacks its value.
bool ParseOption(const std::vector<std::string>& args, std::size_t& i, Options& options,
                 std::string& error) {
    const std::string& arg = args[i];
    const auto missingValue = [&error](std::string_view name) {
        error = "l'opzione " + std::string(name) + " richiede un argomento";
        return false;
    };
    std::string value;
    int found = 0;
    if (arg == "--help") {
        options.help = true;
    } else if (arg == "--version") {
        options.version = true;
    } else if (const auto form = FormOption(arg)) {
        if (options.form != OutputForm::report && options.form != *form) {
            error = "--csv, --pdf e --xlsx si escludono a vicenda";
            return false;
        }
        options.form = *form;
    } else if ((found = OptionValue(args, i, "--layout", 0, value)) != 0) {
        return found < 0 ? missingValue("--layout") : SetLayout(value, options, error);
    } else if ((found = OptionValue(args, i, "--output", 'o', value)) != 0) {
        if (found < 0)
            return missingValue("-o");
        options.outFile = value;
    } else if ((found = OptionValue(args, i, "--directory", 'd', value)) != 0) {
        if (found < 0)
            return missingValue("-d");
        options.outDir = value;
    } else {
        error = "opzione non riconosciuta '" + arg + "'";
        return false;
    }
    return true;
}

// The checks of the options taken together; false, with the reason in
// error, for a combination that cannot run.
bool CheckCombination(const Options& options, std::string& error) {
    if (options.inputs.empty()) {
        error = "nessun file indicato";
    } else if (!options.outFile.empty() && !options.outDir.empty()) {
        error = "-o e -d non si possono usare insieme";
    } else if (!options.outDir.empty() && std::find(options.inputs.begin(), options.inputs.end(),
                                                    "-") != options.inputs.end()) {
        error = SystemText("'-' (standard input) non si può usare con -d");
    } else if (std::count(options.inputs.begin(), options.inputs.end(), "-") > 1) {
        error = SystemText("'-' (standard input) si può indicare una volta sola");
    } else if (!options.outFile.empty() && options.inputs.size() > 1) {
        error = SystemText("-o accetta un solo file in ingresso (per più file usare -d CARTELLA)");
    } else {
        return true;
    }
    return false;
}

}  // namespace

std::optional<Options> ParseArgs(const std::vector<std::string>& args, std::string& error) {
    Options options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.inputs.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (!ParseOption(args, i, options, error)) {
            return std::nullopt;
        }
    }
    if (!options.help && !options.version && !CheckCombination(options, error)) {
        return std::nullopt;
    }
    return options;
}

std::string HelpText() {
    return "Uso: treskdump [OPZIONI] FILE...\n"
           "Converte liste di taglio PRG nel resoconto di testo che TreskViewer scrive\n"
           "con \"Salva su file\", in CSV, in PDF o in una cartella di lavoro Excel.\n"
           "FILE \"-\" è lo standard input.\n"
           "\n"
           "  --layout FORMATO   formato della lista (il file non lo indica):\n"
           "                       new, 0  Lib / Ori ( >=1.7 )  (predefinito)\n"
           "                       old, 1  Lib / Ori ( <1.7 )\n"
           "                       mem, 2  Mem\n"
           "                       auto    l'unico formato in cui il file si legge per\n"
           "                               intero; se sono nessuno o più, errore\n"
           "  --csv              CSV (RFC 4180, UTF-8, righe CR LF): intestazione con\n"
           "                       i 13 titoli delle colonne, poi ogni riga della\n"
           "                       lista dall'alto, testi completi (per Excel: --xlsx)\n"
           "  --pdf              PDF delle pagine stampate: A4 orizzontale, intestazione\n"
           "                       in cima a ogni pagina, a piè di pagina nome del file,\n"
           "                       formato e \"Pagina n di m\"\n"
           "  --xlsx             cartella di lavoro Excel: un foglio col nome del file,\n"
           "                       titoli in grassetto e bloccati, filtro, numeri come\n"
           "                       numeri e testi come testi\n"
           "  -o, --output FILE  scrive in FILE (un solo file in ingresso; \"-\" è lo\n"
           "                       standard output)\n"
           "  -d, --directory CARTELLA\n"
           "                     scrive CARTELLA/<nome del file>.txt (.csv, .pdf, .xlsx\n"
           "                       con --csv, --pdf, --xlsx)\n"
           "                       per ogni file in ingresso\n"
           "      --help         mostra questo aiuto ed esce\n"
           "      --version      mostra la versione ed esce\n"
           "\n"
           "Senza -o e -d i risultati vanno sullo standard output, uno dopo l'altro.\n"
           "Un file già esistente viene sostituito solo a scrittura completa: se\n"
           "qualcosa va storto resta com'era. Un file in ingresso non è mai sostituito.\n"
           "Un file che non si apre o non si legge è un errore: il messaggio va sullo\n"
           "standard error e gli altri file vengono comunque convertiti.\n"
           "\n"
           "Stato di uscita: 0 tutto bene, 1 almeno un file non convertito,\n"
           "2 riga di comando errata.\n";
}

std::string VersionText() {
    return "treskdump (TreskViewer) " TRESK_VERSION "\n";
}

}  // namespace treskdump
