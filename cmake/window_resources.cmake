# The Windows program's resources (ui/win32/resources.rc): the program icon, the map-row icon and
# the banner of the windows, drawn at build time by tools/make_window_pictures as the Qt windows
# draw them, then compiled by the resource compiler (windres) into kartwerk.exe.
enable_language(RC)

set(window_pictures_dir ${CMAKE_BINARY_DIR}/window_pictures)
set(window_pictures ${window_pictures_dir}/kartwerk.ico ${window_pictures_dir}/map_row.ico
                    ${window_pictures_dir}/banner.bmp ${window_pictures_dir}/banner_144.bmp
                    ${window_pictures_dir}/banner_192.bmp)
set(painter_sources ${CMAKE_SOURCE_DIR}/tools/make_window_pictures.cpp ${CMAKE_SOURCE_DIR}/tools/window_pictures.cpp
                    ${CMAKE_SOURCE_DIR}/desktop/program_icon.cpp)
if(CMAKE_CROSSCOMPILING)
  # A cross build cannot run its own tools: the painter is built for the build machine, with the
  # build machine's zlib (the program icon is drawn as a PNG).
  find_program(KARTWERK_HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(painter ${CMAKE_BINARY_DIR}/make_window_pictures_host)
  add_custom_command(OUTPUT ${painter}
    COMMAND ${KARTWERK_HOST_CXX} -std=c++20 -O1 -I${CMAKE_SOURCE_DIR} -isystem ${STB_INCLUDE_DIR}
            -o ${painter} ${painter_sources} -lz
    DEPENDS ${painter_sources} ${CMAKE_SOURCE_DIR}/tools/window_pictures.hpp
            ${CMAKE_SOURCE_DIR}/ui/logic/banner_design.hpp ${CMAKE_SOURCE_DIR}/ui/logic/window_layout.hpp
            ${CMAKE_SOURCE_DIR}/desktop/program_icon.hpp
    COMMENT "Building make_window_pictures for the build machine"
    VERBATIM)
else()
  add_executable(make_window_pictures ${painter_sources})
  target_include_directories(make_window_pictures PRIVATE ${CMAKE_SOURCE_DIR})
  target_include_directories(make_window_pictures SYSTEM PRIVATE ${STB_INCLUDE_DIR})
  target_link_libraries(make_window_pictures PRIVATE ZLIB::ZLIB)
  set(painter make_window_pictures)
endif()
add_custom_command(OUTPUT ${window_pictures}
  COMMAND ${painter} ${window_pictures_dir}
  DEPENDS ${painter}
  COMMENT "Drawing the pictures of the windows (banner, icons)"
  VERBATIM)

set(resources ${CMAKE_SOURCE_DIR}/ui/win32/resources.rc)
# The resource compiler finds the pictures named in the script through its include folders.
set_source_files_properties(${resources} PROPERTIES
  INCLUDE_DIRECTORIES "${window_pictures_dir};${CMAKE_SOURCE_DIR}"
  OBJECT_DEPENDS "${window_pictures};${CMAKE_SOURCE_DIR}/ui/win32/resource_ids.hpp;${CMAKE_SOURCE_DIR}/ui/win32/kartwerk.manifest")
# The pictures are sources too, so that their drawing is a step of the program's build.
target_sources(kartwerk PRIVATE ${resources} ${window_pictures})
