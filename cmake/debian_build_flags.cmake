# The flags Debian builds its packages with: fortified library calls, the strong stack protector,
# format checks, and a read-only relocation table bound at start (relro, now), with the build
# folder's paths mapped out of the debug information. They come from dpkg-buildflags where it is
# installed (its optimisation and debug flags left to the build type), and are spelled out the
# same where it is not. The cross build for Windows keeps its own flags.
option(KARTWERK_DEBIAN_FLAGS "Build with Debian's hardening flags (dpkg-buildflags)" ON)
if(KARTWERK_DEBIAN_FLAGS AND NOT CMAKE_CROSSCOMPILING)
  find_program(KARTWERK_DPKG_BUILDFLAGS dpkg-buildflags)
  if(KARTWERK_DPKG_BUILDFLAGS)
    set(debian_flags)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      # hardening=+all adds bindnow, which Debian's default leaves to each package.
      execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                              ${KARTWERK_DPKG_BUILDFLAGS} --get ${kind}
                      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
      separate_arguments(flags UNIX_COMMAND "${flags}")
      set(debian_${kind} ${flags})
    endforeach()
    list(FILTER debian_CXXFLAGS EXCLUDE REGEX "^-(g|O[0-3s]?)$")
  else()
    set(debian_CPPFLAGS -D_FORTIFY_SOURCE=2)
    set(debian_CXXFLAGS -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -fstack-protector-strong -Wformat
                        -Werror=format-security)
    set(debian_LDFLAGS -Wl,-z,relro -Wl,-z,now)
  endif()
  # Fortified calls need an optimised build, and the sanitizers check those calls themselves.
  list(FILTER debian_CPPFLAGS EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
  if(NOT KARTWERK_SANITIZE)
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  endif()
  add_compile_options(${debian_CPPFLAGS} ${debian_CXXFLAGS})
  add_link_options(${debian_LDFLAGS})
  message(STATUS "Debian build flags: ${debian_CPPFLAGS} ${debian_CXXFLAGS} ${debian_LDFLAGS}")
endif()
