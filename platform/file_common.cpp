// The parts of the file layer that do not depend on the operating system: the
// fifteen messages, CFileException and CMemoryException, and the fault seam's
// counters. Each system's CFile (file.cpp for POSIX, file_win32.cpp for
// Windows) builds on them.
#include <utility>

#include "platform/file.h"

namespace {

// The messages of the fifteen causes, in cause order. UTF-8; SystemText turns
// them into the encoding of the paths put into them.
constexpr const char* kMessages[CFileException::kCauseCount] = {
    "Non si è verificato alcun errore.",
    "Si è verificato un errore sconosciuto durante l'accesso a %1.",
    "%1 non trovato.",
    "%1 contiene un percorso non valido.",
    "Non è stato possibile aprire %1 poiché vi sono troppi file aperti.",
    "Accesso a %1 negato.",
    "Un gestore di file non valido è stato associato a %1.",
    "Impossibile rimuovere %1 poiché è la directory corrente.",
    "Impossibile creare %1 poiché la directory è piena.",
    "Ricerca fallita su %1",
    "Nell'accesso a %1 è stato registrato un errore hardware di I/O. ",
    "Durante l'accesso a %1 si è verificata una violazione di condivisione.",
    "Durante l'accesso a %1 si è verificata una violazione di blocco.",
    "Disco pieno durante l'accesso a %1.",
    "È stato fatto un tentativo di accedere a %1 oltre la sua fine.",
};

constexpr const char* kUnnamedFile = "un file senza nome";

int OpIndex(tresk::file_fault::Op op) {
    return op == tresk::file_fault::Op::read ? 0 : 1;
}

}  // namespace

namespace tresk::file_fault {

detail::State detail::g_state;

void FailNth(Op op, long n, int errnoValue) {
    auto& state = detail::g_state;
    const int i = OpIndex(op);
    state.failAt[i] = n > 0 ? state.calls[i] + n : 0;
    state.errnoValue[i] = errnoValue;
}

void Reset() {
    detail::g_state = detail::State{};
}

long Calls(Op op) {
    return detail::g_state.calls[OpIndex(op)];
}

bool detail::CountCall(Op op) {
    const int i = OpIndex(op);
    ++g_state.calls[i];
    return g_state.failAt[i] != 0 && g_state.calls[i] == g_state.failAt[i];
}

int detail::TakeInjectedErrno(Op op) {
    const int i = OpIndex(op);
    g_state.failAt[i] = 0;  // one failure per arming
    return g_state.errnoValue[i];
}

}  // namespace tresk::file_fault

// ---- CFileException

CFileException::CFileException(int cause, long osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

const char* CFileException::MessageTemplate(int cause) {
    if (cause < 0 || cause >= kCauseCount) {
        return "";
    }
    return kMessages[cause];
}

std::string CFileException::GetErrorMessage() const {
    const std::string name = m_strFileName.empty() ? std::string(kUnnamedFile) : m_strFileName;
    // The path keeps its bytes; only the message around it is converted.
    const std::string text = SystemText(MessageTemplate(m_cause));
    std::string result;
    result.reserve(text.size() + name.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t mark = text.find("%1", pos);
        if (mark == std::string::npos) {
            result.append(text, pos, std::string::npos);
            break;
        }
        result.append(text, pos, mark - pos);
        result += name;
        pos = mark + 2;
    }
    return result;
}

const char* CFileException::what() const noexcept {
    return MessageTemplate(m_cause);
}

// ---- CMemoryException

const char* CMemoryException::Message() {
    return "Memoria insufficiente.";
}

const char* CMemoryException::what() const noexcept {
    return Message();
}
