// Putting a new route file in the place of an old one without ever losing
// the old one: its bytes stay in a backup beside it, and the new file takes
// its name only once it has been written, read back and flushed to the disk.
#pragma once

#include <string>
#include <string_view>

namespace ruter {

struct Remplacement {
    std::string fichier;     // the file a failure concerns
    std::string raison;      // empty after a success
    std::string sauvegarde;  // the backup written, when there was a file to keep
};

// Reads the whole file `chemin` into `octets`; false with `r` set when it
// cannot, and with `existe` false (and no failure) when there is no such file.
bool lire_tout(const std::string& chemin, std::string& octets, bool& existe, Remplacement& r);

// Writes `nouveau` as the file `chemin`, which holds `ancien` when `existe`:
// a temporary file beside it is written, flushed, read back and compared;
// the old bytes go to a backup of a name not taken (`chemin`.bak, then
// `chemin`.bak.2, ...), flushed too; then the temporary file takes the name
// and the directory is flushed. Whatever fails, `chemin` is left as it was.
Remplacement remplacer(const std::string& chemin, std::string_view ancien, bool existe,
                       std::string_view nouveau);

}  // namespace ruter
