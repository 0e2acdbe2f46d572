// libFuzzer target: converts any byte string as a route file, in memory, with
// LF and with CR LF line ends, and compares both outputs byte for byte with
// the model's. The conversion's buffers serve every run, so that a run also
// shows that nothing of the one before is left.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "driver/run.hpp"
#include "modele.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view entree(reinterpret_cast<const char*>(data), size);
    static ruter::Conversion c;
    static std::string mif, mid;
    for (std::string_view fin : {"\n", "\r\n"}) {
        mif.clear();
        mid.clear();
        ruter::convertir_memoire(c, entree, mif, mid, fin);
        const modele::Sorties m = modele::convertir(entree, fin);
        for (const std::string& d :
             {modele::premiere_difference(m.mif, mif), modele::premiere_difference(m.mid, mid)}) {
            if (d.empty()) continue;
            std::fprintf(stderr, "ruter2mif fuzz: output differs from the model's\n%s\n",
                         d.c_str());
            std::abort();
        }
    }
    return 0;
}
