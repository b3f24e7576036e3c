# `kartwerk_program`: what running and installing Kartwerk needs, and nothing more: the program,
# its Qt module and "cliffdata" (dependencies of kartwerk), the sample-map tool of `make run`,
# and the files an installation brings besides the program (manual page, desktop files, changelog,
# completion). `make run`, `make install` and `make package` build this target, not "all", so a
# first run compiles no test suite, tool or cross-built stand-in.
# (The cross build for Windows has kartwerk and cliffdata only; the manual page needs help2man.)
set(kartwerk_program_parts)
foreach(part kartwerk make_samples desktop_files package_changelog man_page bash_completion)
  if(TARGET ${part})
    list(APPEND kartwerk_program_parts ${part})
  endif()
endforeach()
add_custom_target(kartwerk_program DEPENDS ${kartwerk_program_parts})

# Installing (and CPack, which installs into its staging tree) then takes what was built instead
# of building "all" first; everything it installs is a part of kartwerk_program above.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
