// Preloaded into the converters by the failure tests: the Nth call of fread,
// fclose or fsync fails, as PANNE says ("fclose:2": the second fclose), the way
// a read error or a write that the system reports only at the close or the
// flush makes it fail. A failing fclose still closes its stream; a failing
// fread reads nothing; a failing fsync writes nothing.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Whether this call of `fonction`, counted in `appels`, must fail.
bool panne(const char* fonction, int& appels) {
    const char* p = std::getenv("PANNE");
    const std::size_t n = std::strlen(fonction);
    ++appels;
    return p != nullptr && std::strncmp(p, fonction, n) == 0 && p[n] == ':' &&
           std::atoi(p + n + 1) == appels;
}

}  // namespace

extern "C" std::size_t fread(void* p, std::size_t taille, std::size_t n, std::FILE* f) {
    static int appels = 0;
    using Fread = std::size_t (*)(void*, std::size_t, std::size_t, std::FILE*);
    static auto vraie = reinterpret_cast<Fread>(dlsym(RTLD_NEXT, "fread"));
    if (!panne("fread", appels)) return vraie(p, taille, n, f);
    f->_flags |= _IO_ERR_SEEN;  // the stream's error indicator, as ferror reads it (glibc)
    errno = EIO;
    return 0;
}

extern "C" int fclose(std::FILE* f) {
    static int appels = 0;
    static auto vraie = reinterpret_cast<int (*)(std::FILE*)>(dlsym(RTLD_NEXT, "fclose"));
    const int r = vraie(f);
    if (!panne("fclose", appels)) return r;
    errno = EIO;
    return EOF;
}

extern "C" int fsync(int fd) {
    static int appels = 0;
    static auto vraie = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    if (!panne("fsync", appels)) return vraie(fd);
    errno = EIO;
    return -1;
}
