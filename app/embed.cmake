# Writes a C++ source that carries the built-in demo's document and session
# as bytes, so that kadrelle works from any folder.
#   cmake -DOUTPUT=... -DDOCUMENT=... -DSESSION=... -P embed.cmake
function(bytes_of file out)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()
bytes_of("${DOCUMENT}" document)
bytes_of("${SESSION}" session)
file(WRITE "${OUTPUT}.tmp" "// Generated from examples/ by app/embed.cmake.
#include <string>

#include \"app/paint.h\"

namespace kadrelle {
namespace {
const char kDocument[] = {${document}};
const char kSession[] = {${session}};
}  // namespace

const std::string& DemoDocument()
{
    static const std::string text(kDocument, sizeof kDocument);
    return text;
}

const std::string& DemoSession()
{
    static const std::string text(kSession, sizeof kSession);
    return text;
}

}  // namespace kadrelle
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
