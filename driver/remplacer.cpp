#include "driver/remplacer.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace ruter {

namespace {

namespace fs = std::filesystem;

Remplacement erreur(const std::string& fichier, int errnum) {
    return {fichier, std::strerror(errnum != 0 ? errnum : EIO), {}};
}

// Writes all of `octets` to `fd`, then flushes it to the disk.
int ecrire_fd(int fd, std::string_view octets) {
    while (!octets.empty()) {
        const ssize_t n = write(fd, octets.data(), octets.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        octets.remove_prefix(static_cast<std::size_t>(n));
    }
    return fsync(fd) == 0 ? 0 : errno;
}

// A new file `chemin` (never one that exists) holding `octets`, flushed to
// the disk and closed; its mode `mode`.
int creer(const std::string& chemin, std::string_view octets, mode_t mode) {
    const int fd = open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return errno;
    int e = ecrire_fd(fd, octets);
    if (close(fd) != 0 && e == 0) e = errno;
    if (e != 0) unlink(chemin.c_str());
    return e;
}

int synchroniser_dossier(const fs::path& dossier) {
    const int fd = open(dossier.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    int e = fsync(fd) == 0 ? 0 : errno;
    // Some file systems cannot flush a directory: the files are, which is what counts.
    if (e == EINVAL || e == EROFS) e = 0;
    if (close(fd) != 0 && e == 0) e = errno;
    return e;
}

}  // namespace

bool lire_tout(const std::string& chemin, std::string& octets, bool& existe, Remplacement& r) {
    octets.clear();
    existe = false;
    errno = 0;
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (f == nullptr) {
        if (errno == ENOENT) return true;
        r = erreur(chemin, errno);
        return false;
    }
    existe = true;
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        r = erreur(chemin, EISDIR);
        return false;
    }
    char tampon[1 << 16];
    std::size_t n;
    errno = 0;
    while ((n = std::fread(tampon, 1, sizeof tampon, f)) != 0) octets.append(tampon, n);
    const int e = std::ferror(f) ? (errno != 0 ? errno : EIO) : 0;
    errno = 0;
    if (std::fclose(f) != 0 && e == 0) {
        r = erreur(chemin, errno);
        return false;
    }
    if (e != 0) r = erreur(chemin, e);
    return e == 0;
}

Remplacement remplacer(const std::string& chemin, std::string_view ancien, bool existe,
                       std::string_view nouveau) {
    // A link to the route file stays a link: the file it names is replaced.
    std::error_code ec;
    fs::path cible(chemin);
    if (existe && fs::is_symlink(cible, ec)) cible = fs::canonical(cible, ec);
    if (ec) return {chemin, ec.message(), {}};
    const fs::path dossier = cible.has_parent_path() ? cible.parent_path() : fs::path(".");
    mode_t mode = 0644;
    struct stat st;
    if (existe && stat(cible.c_str(), &st) == 0) mode = st.st_mode & 07777;

    // The new file, beside the old one, under a name of its own.
    std::string nom_temp = ".";
    nom_temp += cible.filename().string();
    nom_temp += "-XXXXXX";
    std::string temp = (dossier / nom_temp).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) return erreur(chemin, errno);  // no directory, or none to write in
    struct Effacer {
        std::string& chemin;
        ~Effacer() {
            if (!chemin.empty()) unlink(chemin.c_str());
        }
    } effacer{temp};
    int e = fchmod(fd, mode) == 0 ? 0 : errno;
    if (e == 0) e = ecrire_fd(fd, nouveau);
    if (close(fd) != 0 && e == 0) e = errno;
    if (e != 0) return erreur(temp, e);

    // Read back from the disk, as it will be read.
    std::string relu;
    bool la = false;
    Remplacement r;
    if (!lire_tout(temp, relu, la, r)) return r;
    if (relu != nouveau) return {temp, "reads back other bytes than were written", {}};

    if (existe) {
        for (int k = 1;; ++k) {
            r.sauvegarde = cible.string() + ".bak";
            if (k > 1) r.sauvegarde.append(".").append(std::to_string(k));
            e = creer(r.sauvegarde, ancien, mode);
            if (e != EEXIST) break;
        }
        if (e != 0) return erreur(r.sauvegarde, e);
    }
    if (std::rename(temp.c_str(), cible.c_str()) != 0) {
        Remplacement echec = erreur(chemin, errno);
        echec.sauvegarde = r.sauvegarde;
        return echec;
    }
    temp.clear();
    if ((e = synchroniser_dossier(dossier)) != 0) {
        Remplacement echec = erreur(dossier.string(), e);
        echec.sauvegarde = r.sauvegarde;
        return echec;
    }
    return r;
}

}  // namespace ruter
