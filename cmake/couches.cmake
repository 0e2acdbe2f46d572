# The layers: one folder, one library. A target sees the folders of the
# layers it links and no other: its include directory is a folder of the
# build tree holding a single link, to its own source folder, and the source
# root is on no include path. So an include written "output/mif.hpp" in a
# file of input/ does not build.
#
# ruter_couche(TARGET FOLDER): TARGET, and whatever links it, sees FOLDER.
function(ruter_couche cible dossier)
  set(miroir ${PROJECT_BINARY_DIR}/couches/${dossier})
  file(MAKE_DIRECTORY ${miroir})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${dossier} ${miroir}/${dossier} SYMBOLIC)
  get_target_property(type ${cible} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${cible} INTERFACE ${miroir})
  else()
    target_include_directories(${cible} PUBLIC ${miroir})
  endif()
endfunction()
