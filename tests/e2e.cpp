#include "e2e.hpp"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace e2e {

Dossier::Dossier() {
    std::random_device alea;
    for (int essai = 0; essai < 100; ++essai) {
        fs::path p = fs::temp_directory_path() / ("ruter2mif-test-" + std::to_string(alea()));
        if (fs::create_directory(p)) {
            chemin = p;
            return;
        }
    }
    throw std::runtime_error("no temporary directory");
}

Dossier::~Dossier() {
    std::error_code ec;
    fs::remove_all(chemin, ec);
}

void ecrire_fichier(const fs::path& p, std::string_view contenu) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(contenu.data(), static_cast<std::streamsize>(contenu.size()));
    if (!f) throw std::runtime_error("cannot write " + p.string());
}

std::string lire_fichier(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + p.string());
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

static std::string commande() {
    if (const char* c = std::getenv("RUTER2MIF_CMD"); c != nullptr && *c != '\0') return c;
    return "'" RUTER2MIF_EXE "'";
}

Execution lancer(const Dossier& dossier, std::string_view arguments) {
    const fs::path out =
        dossier.chemin.parent_path() / (dossier.chemin.filename().string() + ".out");
    const fs::path err =
        dossier.chemin.parent_path() / (dossier.chemin.filename().string() + ".err");
    std::string cmd = "cd '" + dossier.chemin.string() + "' && " + commande() + " " +
                      std::string(arguments) + " </dev/null >'" + out.string() + "' 2>'" +
                      err.string() + "'";
    // The shell and the converter are waited for with wait4, whose peak
    // resident size covers the shell's own children: the converter's.
    pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int s = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &s, 0, &usage) != pid) throw std::runtime_error("cannot run " + cmd);
    Execution e;
    e.statut = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    e.pic_memoire = static_cast<long long>(usage.ru_maxrss) * 1024;
    e.sortie = lire_fichier(out);
    e.erreur = lire_fichier(err);
    fs::remove(out);
    fs::remove(err);
    return e;
}

bool programme_windows() {
    std::string c = commande();
    while (!c.empty() && (c.back() == '\'' || c.back() == '"' || c.back() == ' ')) c.pop_back();
    if (c.size() < 4) return false;
    std::string fin = c.substr(c.size() - 4);
    for (char& k : fin) k = static_cast<char>(std::tolower(static_cast<unsigned char>(k)));
    return fin == ".exe";
}

std::string_view raison(std::string_view posix, std::string_view windows) {
    return programme_windows() ? windows : posix;
}

std::string_view fin_ligne() {
    const char* f = std::getenv("RUTER2MIF_CRLF");
    return f != nullptr && *f == '1' ? "\r\n" : "\n";
}

std::string en_fins_de_ligne(std::string_view texte) {
    std::string r;
    for (char c : texte) {
        if (c == '\n') {
            r += fin_ligne();
        } else {
            r += c;
        }
    }
    return r;
}

std::string premiere_difference(std::string_view attendu, std::string_view obtenu) {
    if (attendu == obtenu) return {};
    std::size_t i = 0;
    while (i < attendu.size() && i < obtenu.size() && attendu[i] == obtenu[i]) ++i;
    std::size_t ligne = 1;
    std::size_t debut = 0;
    for (std::size_t k = 0; k < i; ++k) {
        if (attendu[k] == '\n') {
            ++ligne;
            debut = k + 1;
        }
    }
    auto extrait = [debut](std::string_view t) {
        std::string_view r = debut < t.size() ? t.substr(debut) : std::string_view{};
        return std::string(r.substr(0, r.find('\n')));
    };
    std::ostringstream s;
    s << "first difference at byte " << i << ", line " << ligne << "\n  expected: \""
      << extrait(attendu) << "\"\n  got:      \"" << extrait(obtenu) << "\"";
    return s.str();
}

fs::path donnees(std::string_view nom) { return fs::path(RUTER2MIF_DATA) / nom; }

}  // namespace e2e
