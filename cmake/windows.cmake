# Windows: the program's icon, version information and manifest, from src/app/windows/quorvane.rc.
# The icon is made at build time from the same 16 x 16 picture the window shows, so no binary is
# kept.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(windows_dir ${CMAKE_CURRENT_BINARY_DIR}/windows)
add_custom_command(OUTPUT ${windows_dir}/quorvane.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${windows_dir}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tools/windows/xpm2ico.py
          ${CMAKE_CURRENT_SOURCE_DIR}/src/app/icons/quorvane-16.xpm ${windows_dir}/quorvane.ico
  DEPENDS tools/windows/xpm2ico.py src/app/icons/quorvane-16.xpm
  COMMENT "Making the Windows icon")
# The version information's LegalCopyright: LICENSE's copyright line and the licence's name.
include(cmake/licence.cmake)
file(CONFIGURE OUTPUT ${windows_dir}/quorvane-legal.h CONTENT
  "#define QUORVANE_LEGAL_COPYRIGHT \"${QUORVANE_COPYRIGHT}. ${QUORVANE_LICENCE_NAME}.\"\n")
target_sources(quorvane PRIVATE src/app/windows/quorvane.rc)
set_source_files_properties(src/app/windows/quorvane.rc PROPERTIES OBJECT_DEPENDS
  "${windows_dir}/quorvane.ico;${windows_dir}/quorvane-legal.h;${CMAKE_CURRENT_SOURCE_DIR}/src/app/windows/quorvane.exe.manifest")
# The manifest beside the .rc is found there; windres adds no manifest of its own, and Debian's
# mingw-w64 has no default-manifest.o for the linker to add.
# windres finds the icon through the target's include folders, and takes the version from here.
target_include_directories(quorvane PRIVATE ${windows_dir})
target_compile_definitions(quorvane PRIVATE QUORVANE_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  QUORVANE_VERSION_MINOR=${PROJECT_VERSION_MINOR})
