// ruter2mif: converts the route file "Ruter" in the working directory to the
// MapInfo pair "Ruter.mif" and "Ruter.mid". Arguments are not used.
#include "driver/run.hpp"

int main() { return ruter::conclure(ruter::executer()); }
