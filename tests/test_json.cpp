// The JSON writer that the page's module hands its data through, and the
// messages' tables: hostile strings written, read back by Python's JSON
// parser, give the same bytes; every language's words of a message take the
// same values.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "formats/json.hpp"
#include "formats/messages.hpp"

namespace ruter {
namespace {

using namespace std::string_literals;

struct Cas {
    std::string texte;
    const char* json;  // as written
};

const std::vector<Cas> kCas = {
    {"", R"("")"},
    {"Skjær", "\"Skjær\""},
    {R"(say "hi")", R"("say \"hi\"")"},
    {R"(C:\Ruter\)", R"("C:\\Ruter\\")"},
    {"a\nb\tc\rd", R"("a\u000ab\u0009c\u000dd")"},
    {"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""},
    {"nul\0here"s, R"("nul\u0000here")"},
    {"</script><b>", R"("</script><b>")"},
    {"\u2028\u2029 \U0001F6A2", "\"\u2028\u2029 \U0001F6A2\""},
    {"\\u0041", R"("\\u0041")"},
};

TEST(Json, HostileStringsAreEscapedAsJsonRequires) {
    for (const Cas& c : kCas) {
        std::string j;
        ajouter_chaine_json(j, c.texte);
        EXPECT_EQ(j, c.json) << c.texte;
    }
}

// The strings in a list, with numbers, booleans and null around them, read
// back by Python: each string is the bytes it was.
TEST(Json, PythonReadsBackWhatWasWritten) {
    Json j;
    json_ouvrir_objet(j);
    json_cle(j, "chaines");
    json_ouvrir_liste(j);
    for (const Cas& c : kCas) json_chaine(j, c.texte);
    json_fermer_liste(j);
    json_cle(j, "autres");
    json_ouvrir_liste(j);
    json_nombre(j, 0.1);
    json_nombre(j, -1e300);
    json_nombre(j, std::numeric_limits<double>::infinity());
    json_booleen(j, true);
    json_nul(j);
    json_ouvrir_objet(j);
    json_fermer_objet(j);
    json_fermer_liste(j);
    json_fermer_objet(j);

    const auto dossier = std::filesystem::temp_directory_path();
    const auto entree = dossier / ("ruter-json-" + std::to_string(::getpid()) + ".json");
    std::ofstream(entree, std::ios::binary) << j.texte;
    // Each string as the hex of its UTF-8 bytes, then the other values.
    const std::string commande =
        "/usr/bin/python3 -c 'import json,sys\n"
        "d = json.load(open(sys.argv[1], encoding=\"utf-8\"))\n"
        "for s in d[\"chaines\"]: print(s.encode(\"utf-8\").hex())\n"
        "print(json.dumps(d[\"autres\"]))' " +
        entree.string();
    std::FILE* p = popen(commande.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string sortie;
    char t[4096];
    for (std::size_t n; (n = std::fread(t, 1, sizeof t, p)) != 0;) sortie.append(t, n);
    ASSERT_EQ(pclose(p), 0) << j.texte;
    std::filesystem::remove(entree);

    std::string attendu;
    static constexpr char kHex[] = "0123456789abcdef";
    for (const Cas& c : kCas) {
        for (const char o : c.texte) {
            attendu += kHex[static_cast<unsigned char>(o) >> 4];
            attendu += kHex[static_cast<unsigned char>(o) & 15];
        }
        attendu += '\n';
    }
    attendu += "[0.1, -1e+300, null, true, null, {}]\n";
    EXPECT_EQ(sortie, attendu);
}

// A message's words in each language take the same values ("{1}", "{2}"),
// and say something.
TEST(Messages, EveryLanguageTakesTheSameValues) {
    for (int m = 0; m < kMessages; ++m) {
        const std::string_view en = kTextesMessages[kAnglais][m];
        for (int l = 0; l < kLangues; ++l) {
            const std::string_view t = kTextesMessages[l][m];
            EXPECT_FALSE(t.empty()) << kClesLangues[l] << ' ' << m;
            for (const char* v : {"{1}", "{2}"}) {
                EXPECT_EQ(t.find(v) == std::string_view::npos, en.find(v) == std::string_view::npos)
                    << kClesLangues[l] << ": " << t;
            }
        }
    }
    EXPECT_EQ(
        formuler(kNorvegien, Message::sommet_omis, "59 x", kGenresMessages[kNorvegien][kAires]),
        "posisjonen \u00ab59 x\u00bb er ikke et antall minutter; punktet er utelatt fra "
        "omr\u00e5det");
    EXPECT_EQ(expliquer({Nature::binaire, "PNG", 0}),
              "not a route file: it is a picture (PNG), not text");
    EXPECT_EQ(expliquer({Nature::binaire, "PNG", 0}, kNorvegien),
              "ikke en rutefil: den er et bilde (PNG), ikke tekst");
}

}  // namespace
}  // namespace ruter
