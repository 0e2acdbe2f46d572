// banc: times the converter on the route file of a directory against the I/O
// floor of the same machine, measured in the same run.
//
//   banc CONVERTISSEUR REPERTOIRE [ESSAIS] [REFERENCE]
//
// REPERTOIRE holds "Ruter". Each trial runs the converter there (a child
// process; wall time, and peak resident memory from wait4) and the I/O floor:
// reading the same "Ruter" and writing as many bytes as the converter wrote,
// to two files of the same directory, in 1 MiB read and write calls. Reports
// medians, MB/s and the ratio converter/floor. With REFERENCE (an earlier
// build of the converter) it also runs that once in REPERTOIRE/reference,
// compares both outputs byte for byte and fails when they differ.
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: banc CONVERTISSEUR REPERTOIRE [ESSAIS] [REFERENCE]\n");
        return 2;
    }
    const std::string exe = argv[1];
    const std::string rep = argv[2];
    const int essais = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const std::string reference = argc > 4 ? argv[4] : "";

    const double mo = 1e6;
    const long long entree = taille(rep + "/Ruter");

    // A first run warms the page cache and gives the output sizes.
    lancer(exe, rep);
    const long long mif = taille(rep + "/Ruter.mif");
    const long long mid = taille(rep + "/Ruter.mid");
    const long long sortie = mif + mid;

    std::unique_ptr<char[]> bloc(new char[kBloc]);
    std::memset(bloc.get(), 'x', kBloc);
    std::vector<double> tc, tp;
    long rss = 0;
    for (int i = 0; i < essais; ++i) {
        tp.push_back(plancher(rep, mif, mid, bloc.get()));
        Mesure m = lancer(exe, rep);
        tc.push_back(m.secondes);
        rss = std::max(rss, m.rss_kio);
    }
    std::remove((rep + "/plancher.mif").c_str());
    std::remove((rep + "/plancher.mid").c_str());

    const double c = mediane(tc), p = mediane(tp);
    std::printf("input      %8.1f MB   output %.1f MB (mif %.1f, mid %.1f)\n", entree / mo,
                sortie / mo, mif / mo, mid / mo);
    std::printf(
        "converter  %8.3f s    median of %d (min %.3f, max %.3f)   %6.1f MB/s in  %6.1f MB/s out\n",
        c, essais, *std::min_element(tc.begin(), tc.end()), *std::max_element(tc.begin(), tc.end()),
        entree / mo / c, sortie / mo / c);
    std::printf(
        "I/O floor  %8.3f s    median of %d (min %.3f, max %.3f)   %6.1f MB/s in  %6.1f MB/s out\n",
        p, essais, *std::min_element(tp.begin(), tp.end()), *std::max_element(tp.begin(), tp.end()),
        entree / mo / p, sortie / mo / p);
    std::printf("peak RSS   %8.1f MiB\n", static_cast<double>(rss) / 1024.0);
    std::printf("ratio converter/floor  %.2f\n", c / p);

    if (!reference.empty()) {
        const std::string rr = rep + "/reference";
        mkdir(rr.c_str(), 0755);
        const std::string lien = rr + "/Ruter";
        unlink(lien.c_str());
        if (symlink("../Ruter", lien.c_str()) != 0) mourir(lien);
        Mesure m = lancer(reference, rr);
        bool ok = identiques(rep + "/Ruter.mif", rr + "/Ruter.mif") &&
                  identiques(rep + "/Ruter.mid", rr + "/Ruter.mid");
        std::printf("reference  %8.3f s    one run, peak RSS %.1f MiB   speed-up %.2fx\n",
                    m.secondes, static_cast<double>(m.rss_kio) / 1024.0, m.secondes / c);
        std::printf("outputs    %s\n",
                    ok ? "byte-identical to the reference" : "DIFFER from the reference");
        std::remove((rr + "/Ruter.mif").c_str());
        std::remove((rr + "/Ruter.mid").c_str());
        if (!ok) return 1;
    }
    return 0;
}
