// The reports of the reading (modele/objets.hpp's Signalement) in words.
#pragma once

#include <string>

#include "modele/objets.hpp"

namespace ruter {

// What a report says, after "FILE:LINE: ".
std::string decrire(const Signalement& s);

}  // namespace ruter
