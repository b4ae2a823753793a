#include "store/store_error_text.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

namespace kalvora {

std::string SystemErrorText(int error) {
    switch (error) {
        case ENOSPC:
            return "kein Platz mehr auf dem Datenträger";
#ifdef EDQUOT
        case EDQUOT:
            return "das Speicherkontingent auf dem Datenträger ist erschöpft";
#endif
        case EACCES:
        case EPERM:
            return "keine Berechtigung";
        case EROFS:
            return "der Datenträger ist schreibgeschützt";
        case EIO:
            return "Ein-/Ausgabefehler des Datenträgers";
        case ENOENT:
            return "nicht vorhanden";
        case ENOTDIR:
            return "ein Teil des Pfades ist kein Verzeichnis";
        case EISDIR:
            return "ist ein Verzeichnis";
        case EMFILE:
        case ENFILE:
            return "zu viele offene Dateien";
        case ENAMETOOLONG:
            return "der Name ist zu lang";
        case EBUSY:
            return "die Datei wird gerade verwendet";
        default:
            return "Systemfehler " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

std::string FileErrorText(const std::string& path, int error, bool writing) {
    return "Die Datei " + path +
           (writing ? " kann nicht geschrieben werden: " : " kann nicht gelesen werden: ") +
           SystemErrorText(error) + ".";
}

std::string DatabaseErrorText(std::string_view path, int code, std::string_view engineText) {
    const std::string name = path.empty() ? std::string("(im Speicher)") : std::string(path);
    switch (code & 0xff) {
        case SQLITE_FULL:
            return "Die Datenbank " + name +
                   " kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger.";
        case SQLITE_READONLY:
            return "Die Datenbank " + name + " kann nicht geändert werden: sie ist schreibgeschützt.";
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return "Die Datenbank " + name + " kann nicht verwendet werden: keine Berechtigung.";
        case SQLITE_IOERR:
            return "Beim Lesen oder Schreiben der Datenbank " + name +
                   " ist ein Ein-/Ausgabefehler aufgetreten.";
        case SQLITE_CORRUPT:
            return "Die Datenbank " + name + " ist beschädigt.";
        case SQLITE_NOTADB:
            return "Die Datei " + name + " ist keine Datenbank.";
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "Die Datenbank " + name + " wird gerade von einem anderen Programm verwendet.";
        case SQLITE_CANTOPEN:
            return "Die Datenbank " + name + " kann nicht geöffnet werden.";
        case SQLITE_NOMEM:
            return "Für die Datenbank " + name + " ist nicht genug Arbeitsspeicher vorhanden.";
        default:
            return "Fehler der Datenbank " + name + ": " + std::string(engineText);
    }
}

bool IsBusyCode(int code) { return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED; }

}  // namespace kalvora
