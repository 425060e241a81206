# The third-party code of the Windows cross build.
#
# Debian's packages of nlohmann-json, CLI11 and Boost are header-only; the
# cross compiler reaches just their folders (never the whole /usr/include,
# whose C library headers are not the target's), through links in the build
# folder. pugixml is compiled from third_party/pugixml.
set(KADRELLE_SHARED_HEADERS_ROOT /usr/include CACHE PATH
    "Where the header-only libraries nlohmann, CLI and boost are installed")
set(KADRELLE_SHARED_HEADERS ${CMAKE_BINARY_DIR}/shared-headers)
file(MAKE_DIRECTORY ${KADRELLE_SHARED_HEADERS})
foreach(folder nlohmann CLI boost)
  if(NOT EXISTS ${KADRELLE_SHARED_HEADERS_ROOT}/${folder})
    message(FATAL_ERROR "${KADRELLE_SHARED_HEADERS_ROOT}/${folder} is missing (scripts/install-deps installs it)")
  endif()
  file(CREATE_LINK ${KADRELLE_SHARED_HEADERS_ROOT}/${folder} ${KADRELLE_SHARED_HEADERS}/${folder} SYMBOLIC)
endforeach()
include_directories(SYSTEM ${KADRELLE_SHARED_HEADERS})

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
add_library(CLI11::CLI11 INTERFACE IMPORTED)

add_library(kadrelle_pugixml STATIC ${PROJECT_SOURCE_DIR}/third_party/pugixml/pugixml.cpp)
target_include_directories(kadrelle_pugixml SYSTEM PUBLIC ${PROJECT_SOURCE_DIR}/third_party/pugixml)
add_library(pugixml::pugixml ALIAS kadrelle_pugixml)
