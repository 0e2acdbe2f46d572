"""What the end-to-end tests share: the programs under test, each run in a
temporary directory of its own, byte-exact comparison, and the hostile
inputs that both programs must survive.

CMake's tests name the programs and files in the environment: RUTER2MIF,
RUTER2GIS, MODELE (the model of ruter2mif's output, as a program), PANNE
(the fault-injection library), GENERER (the benchmark's route file
generator), DONNEES (tests/data) and EXEMPLE (examples/Ruter). With
RUTER2MIF_CMD set, that command runs ruter2mif instead (a Windows build
under wine), and RUTER2MIF_CRLF=1 says that it writes CR LF line ends.
"""

import importlib
import os
import random
import shlex
import shutil
import subprocess

TOUT = os.environ.get("RUTER2MIF_TOUT") == "1"
CRLF = os.environ.get("RUTER2MIF_CRLF") == "1"
WINDOWS = bool(os.environ.get("RUTER2MIF_CMD"))


def importer(module, paquet, test):
    """`module`, or the test skipped, naming the Debian package that brings
    it; with RUTER2MIF_TOUT=1 a missing module fails the test."""
    try:
        return importlib.import_module(module)
    except ImportError:
        if TOUT:
            raise
        test.skipTest("needs the Debian package %s" % paquet)


def outil(programme, paquet, test):
    """Whether `programme` is there; otherwise the test is skipped, naming the
    Debian package that brings it, or with RUTER2MIF_TOUT=1 fails."""
    if shutil.which(programme) is None:
        if TOUT:
            raise FileNotFoundError(programme)
        test.skipTest("needs the Debian package %s" % paquet)


def lancer(dossier, programme, *args, env=None, **options):
    """Runs RUTER2MIF, RUTER2GIS, MODELE or GENERER in `dossier`."""
    cmd = shlex.split(os.environ["RUTER2MIF_CMD"]) if programme == "RUTER2MIF" and WINDOWS else [os.environ[programme]]
    return subprocess.run(cmd + list(args), cwd=dossier, stdin=subprocess.DEVNULL, capture_output=True,
                          env=dict(os.environ, **(env or {})), **options)


def lire(chemin):
    with open(chemin, "rb") as f:
        return f.read()


def ecrire(chemin, octets):
    with open(chemin, "wb") as f:
        f.write(octets)


def fins(texte):
    """`texte` with the line ends the program under test writes."""
    return texte.replace(b"\n", b"\r\n") if CRLF else texte


def difference(attendu, obtenu):
    """None when equal; otherwise where the two first differ, by line."""
    if attendu == obtenu:
        return None
    i = next((k for k, (a, b) in enumerate(zip(attendu, obtenu)) if a != b), min(len(attendu), len(obtenu)))
    debut = attendu.rfind(b"\n", 0, i) + 1
    return "line %d differs:\n  expected %r\n  got      %r" % (
        attendu.count(b"\n", 0, debut) + 1, attendu[debut:].split(b"\n")[0][:200], obtenu[debut:].split(b"\n")[0][:200])


def proches(p, q):
    """Whether two lists of points are the same to 1e-9 degree."""
    return len(p) == len(q) and all(abs(a - b) <= 1e-9 for u, v in zip(p, q) for a, b in zip(u, v))


def entrees_hostiles():
    """(what, route file) pairs far past any fixed size or expectation."""
    w = bytes((i * 7 % 251 + 1) for i in range(251)).translate(bytes.maketrans(b" \n\r\x1a", b"yyyy"))
    w = w * ((50 << 20) // len(w))
    mots = b"".join(b" %d" % k for k in range(100000))
    exemple = b"Rutetype Areal\r\nLinjefarge Gul\r\n3600 300\r\n3660 360\r\n\r\n"
    bords = b""  # a mark's CR LF across each read block boundary from 4 KiB to 4 MiB
    for bord in (4096 << k for k in range(11)):
        bords += exemple * ((bord - 600 - len(bords)) // len(exemple) + 1)
        bords += b"Navn " + b"x" * (bord - 1 - len(bords) - 12 - 7) + b"\r\n3600 300 0 S\r\n"
    return [
        ("an empty file", b""),
        ("binary junk", random.Random(7).randbytes(1 << 20)),
        ("a route of 2,000,000 vertices",
         b"Rutetype Areal\nLinjefarge Gul\n" + b"".join(b"%d.25 %d\n" % (k % 5400, k) for k in range(2000000))
         + b"\nLinjefarge Svart\n60 0\n120 60\n"),
        ("a name and a mark's symbol of 50 MB", b"Navn " + w + b"\n60 0 0 " + w + b"\n"),
        ("lines of 100,000 words", b"MTekst 0" + mots + b"\n60 0 0 S" + mots + b"\n"),
        ("every byte value", b"".join(b"Navn a%cb\nMTekst 0 %c\n3600 300 0 S%c\n" % (o, o, o)
                                     for o in range(256) if o not in b"\n\x1a") + bytes(range(256))),
        ("CR LF across every read block boundary", bords + exemple),
        ("a Ctrl-Z before megabytes", b"60 0 0 S\n\x1a" + b"T" * (3 << 20) + b"\n3600 300\n"),
    ]
