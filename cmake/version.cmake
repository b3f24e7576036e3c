# Writes the program's version text into a source file: the project's version, followed by the
# commit when the sources are a git checkout. Run at every build (cmake -P), so a new commit shows
# without configuring again; the file is only rewritten when the text changes.
#   cmake -DVERSION=0.1 -DSOURCE_DIR=... -DOUTPUT=.../version_text.cpp -P version.cmake
set(text "${VERSION}")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(NOT failed AND commit)
    string(APPEND text " (commit ${commit})")
  endif()
endif()
set(content "// Written by cmake/version.cmake at build time.\n#include \"app/version.hpp\"\n\n"
            "const char* kartwerk::app::VersionText() { return \"${text}\"; }\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
