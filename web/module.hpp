// What the module's files share: the table of objects of the file that the
// page has read (web/module.cpp), which the navigation calls
// (web/module_nav.cpp) read too.
#pragma once

#include "modele/objets.hpp"

namespace ruter {

const TableObjets& table_page();

}  // namespace ruter
