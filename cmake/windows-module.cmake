# The Windows module QV12_Kadrelle.aip: the plug-in as the host loads it, a
# DLL that exports PluginMain undecorated and carries resources/kadrelle.rc
# compiled by windres. kadrelle.exe loads it beside itself.
enable_language(RC)

add_library(kadrelle_module SHARED shell/dll_main_windows.cpp resources/kadrelle.rc)
set_target_properties(kadrelle_module PROPERTIES
  OUTPUT_NAME QV12_Kadrelle
  PREFIX ""
  SUFFIX ".aip"
  # A host finds the entry point by name; nothing links against the module.
  ENABLE_EXPORTS OFF)
target_link_libraries(kadrelle_module PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,kadrelle_plugin>")
target_compile_options(kadrelle_module PRIVATE ${KADRELLE_WARNINGS})
# The images that the script names are beside it.
set_source_files_properties(resources/kadrelle.rc PROPERTIES
  COMPILE_OPTIONS "--include-dir=${PROJECT_SOURCE_DIR}/resources"
  OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/resources/kadrelle.ico;${PROJECT_SOURCE_DIR}/resources/kadrelle.cur")

# kadrelle.exe finds PluginMain in the module with LoadLibraryA and
# GetProcAddress; the settings tables it shares with the plug-in are linked in.
target_sources(kadrelle_app PRIVATE app/plugin_module_windows.cpp)
add_dependencies(kadrelle_app kadrelle_module)

# The tool's cursor through the system's own LoadCursorA and SetCursor, with
# the module's instance handle (run under Wine by tests/windows/compare_sessions.sh).
add_executable(kadrelle_cursor_check tests/windows/cursor_check.cpp)
target_link_libraries(kadrelle_cursor_check PRIVATE kadrelle_app)
target_compile_options(kadrelle_cursor_check PRIVATE ${KADRELLE_WARNINGS})
