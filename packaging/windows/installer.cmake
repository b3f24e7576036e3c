# `make windows-installer`: build-windows/kartwerk-setup-VERSION.exe, made by NSIS (makensis, Debian
# package nsis) from kartwerk.nsi with the program and its cliffdata of this build.
find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(setup ${CMAKE_BINARY_DIR}/kartwerk-setup-${PROJECT_VERSION}.exe)
  set(script ${CMAKE_CURRENT_LIST_DIR}/kartwerk.nsi)
  add_custom_command(OUTPUT ${setup}
    COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
            -DPROGRAM=$<TARGET_FILE:kartwerk> -DCLIFFDATA=$<TARGET_FILE_DIR:kartwerk>/cliffdata
            -DICON=${window_pictures_dir}/kartwerk.ico
            -DOUTFILE=${setup} ${script}
    DEPENDS kartwerk cliffdata ${script} ${window_pictures_dir}/kartwerk.ico
    COMMENT "Building the Windows installer kartwerk-setup-${PROJECT_VERSION}.exe"
    VERBATIM)
  add_custom_target(windows_installer DEPENDS ${setup})
else()
  message(STATUS "makensis not found: no Windows installer (scripts/setup-deps.sh installs nsis)")
endif()
