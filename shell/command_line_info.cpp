#include "shell/command_line_info.h"

#include <string_view>

#include "platform/file.h"

namespace {

CCommandLineInfo Failed(const std::string& reason) {
    CCommandLineInfo info;
    info.m_nAction = CCommandLineInfo::Action::error;
    info.m_strError = "treskviewer: " + reason + " - vedere 'treskviewer --help'";
    return info;
}

}  // namespace

CCommandLineInfo CCommandLineInfo::Parse(const std::vector<std::string>& args) {
    CCommandLineInfo info;
    bool haveFile = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (arg.empty()) {
                return Failed("nome di file vuoto");
            }
            if (haveFile) {
                // The argument is in the system's encoding already.
                return Failed("un solo file alla volta ('" + arg + SystemText("' è di troppo)"));
            }
            info.m_strFileName = arg;
            haveFile = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            info.m_nAction = Action::help;
            return info;
        } else if (arg == "--version") {
            info.m_nAction = Action::version;
            return info;
        } else if (arg == "--layout" || arg.starts_with("--layout=")) {
            std::string value;
            if (arg == "--layout") {
                if (i + 1 >= args.size()) {
                    return Failed("l'opzione --layout richiede un argomento");
                }
                value = args[++i];
            } else {
                value = arg.substr(std::string_view("--layout=").size());
            }
            info.m_nFormat = ParseListFormat(value);
            if (info.m_nFormat < 0) {
                return Failed("formato non valido '" + value +
                              "' (ammessi: new, old, mem, 0, 1, 2)");
            }
        } else {
            return Failed("opzione non riconosciuta '" + arg + "'");
        }
    }
    return info;
}

std::string CCommandLineInfo::HelpText() {
    return "Uso: treskviewer [--layout FORMATO] [FILE]\n"
           "Mostra una lista di taglio PRG nella finestra di TreskViewer.\n"
           "Con FILE la lista viene caricata all'avvio come se fosse scelta con\n"
           "\"Sfoglia\" nel formato indicato.\n"
           "\n"
           "  --layout FORMATO   formato della lista (il file non lo indica):\n"
           "                       new, 0  Lib / Ori ( >=1.7 )  (predefinito)\n"
           "                       old, 1  Lib / Ori ( <1.7 )\n"
           "                       mem, 2  Mem\n"
           "      --help         mostra questo aiuto ed esce\n"
           "      --version      mostra la versione ed esce\n"
           "\n"
           "Stato di uscita: 0 alla chiusura della finestra, 2 riga di comando errata.\n";
}

std::string CCommandLineInfo::VersionText() {
    return "treskviewer (TreskViewer) " TRESK_VERSION "\n";
}
