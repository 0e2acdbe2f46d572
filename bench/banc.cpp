// banc: times the converter on the route file of a directory against the I/O
// floor of the same machine, measured in the same run.
//
//   banc [-r REFERENCE] [-s SIMPLE] [-g RUTER2GIS] CONVERTISSEUR REPERTOIRE [ESSAIS]
//
// REPERTOIRE holds "Ruter". Each trial runs the converter there (a child
// process; wall time, and peak resident memory from wait4) and the I/O floor:
// reading the same "Ruter" and writing as many bytes as the converter wrote,
// to two files of the same directory, in 1 MiB read and write calls. Reports
// medians, MB/s and the ratio converter/floor. Each trial also runs, when
// given, REFERENCE (an earlier build of the converter, in
// REPERTOIRE/reference), SIMPLE (the plain design, bench/CMakeLists.txt, in
// REPERTOIRE/simple), whose outputs must be the converter's bytes, and
// RUTER2GIS (to "Ruter.gpkg"); their times are reported against the
// converter's.
//
// A benchmark harness, Linux only: it uses POSIX freely.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBloc = std::size_t{1} << 20;

[[noreturn]] void mourir(const std::string& quoi) {
    std::fprintf(stderr, "banc: %s: %s\n", quoi.c_str(), std::strerror(errno));
    std::exit(1);
}

double maintenant() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

long long taille(const std::string& chemin) {
    struct stat st {};
    if (stat(chemin.c_str(), &st) != 0) mourir(chemin);
    return static_cast<long long>(st.st_size);
}

struct Mesure {
    double secondes;
    long rss_kio;
};

// Runs `exe` with `rep` as working directory.
Mesure lancer(const std::string& exe, const std::string& rep) {
    double t0 = maintenant();
    pid_t pid = fork();
    if (pid < 0) mourir("fork");
    if (pid == 0) {
        if (chdir(rep.c_str()) != 0) _exit(126);
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int statut = 0;
    rusage ru{};
    if (wait4(pid, &statut, 0, &ru) != pid) mourir("wait4");
    double t1 = maintenant();
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0) {
        std::fprintf(stderr, "banc: %s failed (status %d)\n", exe.c_str(), statut);
        std::exit(1);
    }
    return {t1 - t0, ru.ru_maxrss};
}

void ecrire_tout(int fd, const char* p, std::size_t n, const std::string& nom) {
    while (n != 0) {
        ssize_t k = write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            mourir(nom);
        }
        p += k;
        n -= static_cast<std::size_t>(k);
    }
}

void ecrire_fichier(const std::string& nom, long long n, const char* bloc) {
    int fd = open(nom.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) mourir(nom);
    while (n > 0) {
        std::size_t k = static_cast<std::size_t>(std::min<long long>(n, kBloc));
        ecrire_tout(fd, bloc, k, nom);
        n -= static_cast<long long>(k);
    }
    if (close(fd) != 0) mourir(nom);
}

// The I/O floor: read "Ruter" whole, write `mif` and `mid` bytes.
double plancher(const std::string& rep, long long mif, long long mid, char* bloc) {
    double t0 = maintenant();
    std::string entree = rep + "/Ruter";
    int fd = open(entree.c_str(), O_RDONLY);
    if (fd < 0) mourir(entree);
    for (;;) {
        ssize_t k = read(fd, bloc, kBloc);
        if (k < 0) {
            if (errno == EINTR) continue;
            mourir(entree);
        }
        if (k == 0) break;
    }
    close(fd);
    ecrire_fichier(rep + "/plancher.mif", mif, bloc);
    ecrire_fichier(rep + "/plancher.mid", mid, bloc);
    return maintenant() - t0;
}

bool identiques(const std::string& a, const std::string& b) {
    std::FILE* fa = std::fopen(a.c_str(), "rb");
    if (fa == nullptr) mourir(a);
    std::FILE* fb = std::fopen(b.c_str(), "rb");
    if (fb == nullptr) mourir(b);
    std::vector<char> ba(kBloc), bb(kBloc);
    bool pareil = true;
    for (;;) {
        std::size_t na = std::fread(ba.data(), 1, kBloc, fa);
        std::size_t nb = std::fread(bb.data(), 1, kBloc, fb);
        if (na != nb || std::memcmp(ba.data(), bb.data(), na) != 0) {
            pareil = false;
            break;
        }
        if (na == 0) break;
    }
    if (std::ferror(fa) || std::ferror(fb)) mourir(a + " / " + b);
    std::fclose(fa);
    std::fclose(fb);
    return pareil;
}

double mediane(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 != 0 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// Runs of one program: wall times and the largest peak resident memory.
struct Serie {
    std::vector<double> t;
    long rss_kio = 0;
    void ajouter(const Mesure& m) {
        t.push_back(m.secondes);
        rss_kio = std::max(rss_kio, m.rss_kio);
    }
};

void afficher(const char* quoi, const Serie& s, double entree, double sortie) {
    const double m = mediane(s.t);
    std::printf(
        "%-10s %8.3f s    median of %zu (min %.3f, max %.3f)   %6.1f MB/s in  %6.1f MB/s out", quoi,
        m, s.t.size(), *std::min_element(s.t.begin(), s.t.end()),
        *std::max_element(s.t.begin(), s.t.end()), entree / 1e6 / m, sortie / 1e6 / m);
    if (s.rss_kio != 0)
        std::printf("   peak RSS %.1f MiB", static_cast<double>(s.rss_kio) / 1024.0);
    std::printf("\n");
}

// Another build of the converter, run in a directory of its own beside "Ruter".
struct Autre {
    const char* nom;
    std::string exe, rep;
    Serie t;
};

void preparer_autre(Autre& a, const std::string& rep) {
    a.rep = rep + "/" + a.nom;
    mkdir(a.rep.c_str(), 0755);
    const std::string lien = a.rep + "/Ruter";
    unlink(lien.c_str());
    if (symlink("../Ruter", lien.c_str()) != 0) mourir(lien);
}

}  // namespace

int main(int argc, char** argv) {
    std::string gis;
    Autre reference{"reference", "", "", {}}, simple{"simple", "", "", {}};
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "-r" || a == "-s" || a == "-g") && i + 1 < argc) {
            (a == "-r" ? reference.exe : a == "-s" ? simple.exe : gis) = argv[++i];
        } else {
            args.push_back(a);
        }
    }
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr,
                     "usage: banc [-r REFERENCE] [-s SIMPLE] [-g RUTER2GIS] CONVERTISSEUR "
                     "REPERTOIRE [ESSAIS]\n");
        return 2;
    }
    const std::string exe = args[0];
    const std::string rep = args[1];
    const int essais = args.size() > 2 ? std::max(1, std::atoi(args[2].c_str())) : 5;
    Autre* const autres[] = {&reference, &simple};
    for (Autre* a : autres) {
        if (!a->exe.empty()) preparer_autre(*a, rep);
    }

    // A first run of each warms the page cache and gives the output sizes.
    lancer(exe, rep);
    for (Autre* a : autres) {
        if (!a->exe.empty()) lancer(a->exe, a->rep);
    }
    if (!gis.empty()) lancer(gis, rep);
    const long long entree = taille(rep + "/Ruter");
    const long long mif = taille(rep + "/Ruter.mif");
    const long long mid = taille(rep + "/Ruter.mid");

    std::unique_ptr<char[]> bloc(new char[kBloc]);
    std::memset(bloc.get(), 'x', kBloc);
    Serie tc, tp, tg;
    for (int i = 0; i < essais; ++i) {
        tp.t.push_back(plancher(rep, mif, mid, bloc.get()));
        tc.ajouter(lancer(exe, rep));
        for (Autre* a : autres) {
            if (!a->exe.empty()) a->t.ajouter(lancer(a->exe, a->rep));
        }
        if (!gis.empty()) tg.ajouter(lancer(gis, rep));
    }
    std::remove((rep + "/plancher.mif").c_str());
    std::remove((rep + "/plancher.mid").c_str());

    const double mo = 1e6, c = mediane(tc.t);
    std::printf("input      %8.1f MB   output %.1f MB (mif %.1f, mid %.1f)\n", entree / mo,
                (mif + mid) / mo, mif / mo, mid / mo);
    afficher("converter", tc, entree, mif + mid);
    afficher("I/O floor", tp, entree, mif + mid);
    std::printf("ratio converter/floor  %.2f\n", c / mediane(tp.t));
    int statut = 0;
    for (Autre* a : autres) {
        if (a->exe.empty()) continue;
        const bool ok = identiques(rep + "/Ruter.mif", a->rep + "/Ruter.mif") &&
                        identiques(rep + "/Ruter.mid", a->rep + "/Ruter.mid");
        afficher(a->nom, a->t, entree, mif + mid);
        std::printf("ratio %s/converter  %.3f   outputs %s\n", a->nom, mediane(a->t.t) / c,
                    ok ? "byte-identical to the converter's" : "DIFFER from the converter's");
        std::remove((a->rep + "/Ruter.mif").c_str());
        std::remove((a->rep + "/Ruter.mid").c_str());
        if (!ok) statut = 1;
    }
    if (!gis.empty()) {
        const long long gpkg = taille(rep + "/Ruter.gpkg");
        afficher("ruter2gis", tg, entree, gpkg);
        std::printf("ratio ruter2gis (GeoPackage of %.1f MB)/converter  %.2f\n", gpkg / mo,
                    mediane(tg.t) / c);
    }
    return statut;
}
