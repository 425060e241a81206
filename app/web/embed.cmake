# Writes a C++ source that carries the page of `kadrelle serve` (every file
# of app/web/ but this script) and the tool cursor's file as bytes, so that
# the program serves them from any folder.
#   cmake -DOUTPUT=... -DWEB_DIR=... -DCURSOR=... -P embed.cmake
function(bytes_of file out)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

file(GLOB names RELATIVE "${WEB_DIR}" "${WEB_DIR}/*")
list(REMOVE_ITEM names embed.cmake)
list(SORT names)
set(arrays "")
set(table "")
set(n 0)
foreach(name IN LISTS names)
  bytes_of("${WEB_DIR}/${name}" bytes)
  string(APPEND arrays "const char kFile${n}[] = {${bytes}};\n")
  string(APPEND table "    {\"${name}\", {kFile${n}, sizeof kFile${n}}},\n")
  math(EXPR n "${n} + 1")
endforeach()
bytes_of("${CURSOR}" cursor)

file(WRITE "${OUTPUT}.tmp" "// Generated from app/web/ and resources/kadrelle.cur by app/web/embed.cmake.
#include \"app/serve.h\"

namespace kadrelle {
namespace {
${arrays}const char kCursor[] = {${cursor}};
const WebFile kFiles[] = {
${table}};
}  // namespace

std::span<const WebFile> WebFiles() { return kFiles; }

std::string_view ToolCursorFile() { return {kCursor, sizeof kCursor}; }

}  // namespace kadrelle
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
