# The Windows program, its resources and the helper programs of the
# end-to-end tests.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
enable_language(RC)

set(VELMORANT_ICON ${CMAKE_CURRENT_BINARY_DIR}/resources/Velmorant.ico)
add_custom_command(
  OUTPUT ${VELMORANT_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/resources
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/resources/make_icon.py ${VELMORANT_ICON}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/make_icon.py
  COMMENT "Generating the application icon")
add_custom_target(velmorant_icon DEPENDS ${VELMORANT_ICON})
# The manifest goes into the program without its indentation and line
# breaks: the same XML, a fifth smaller.
set(VELMORANT_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/resources/Velmorant.compact.manifest)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS resources/Velmorant.manifest)
file(READ resources/Velmorant.manifest VELMORANT_MANIFEST_TEXT)
string(REGEX REPLACE "\n *" "" VELMORANT_MANIFEST_TEXT "${VELMORANT_MANIFEST_TEXT}")
file(WRITE ${VELMORANT_MANIFEST} "${VELMORANT_MANIFEST_TEXT}")
set_source_files_properties(resources/Velmorant.rc PROPERTIES
  OBJECT_DEPENDS "${VELMORANT_ICON};${VELMORANT_MANIFEST}")

# Built without exceptions and RTTI (a failed start is a result; a memory
# failure ends the process), unused sections dropped, symbols stripped.
# Source paths in the program (the file names of assertions) are written
# relative to the source folder, and the PE header carries no time stamp, so
# that every build of one commit gives the same bytes, wherever it is made.
set(VELMORANT_WIN_FLAGS -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -fdata-sections
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
# The program starts at VelmorantStart (WinMain.cpp) without the C runtime's
# start-up code; i686 symbols carry a leading underscore.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VELMORANT_ENTRY VelmorantStart)
else()
  set(VELMORANT_ENTRY _VelmorantStart)
endif()
set(VELMORANT_WIN_LINK -static -static-libgcc -static-libstdc++ -mwindows -nostartfiles
    -Wl,-e,${VELMORANT_ENTRY} -Wl,--gc-sections -Wl,--no-insert-timestamp -s)
target_compile_options(velmorant_logic PRIVATE ${VELMORANT_WIN_FLAGS})
# No link-time optimisation: without exceptions it no longer pays (it only
# kept the library's exception paths out), and the linker cannot take it
# together with the program's own entry point.

add_executable(Velmorant WIN32
  platform/win32/WinMain.cpp
  platform/win32/Win32Platform.cpp
  platform/win32/NoExceptions.cpp
  resources/Velmorant.rc
)
add_dependencies(Velmorant velmorant_icon)
target_compile_definitions(Velmorant PRIVATE UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
target_compile_options(Velmorant PRIVATE -Wall -Wextra ${VELMORANT_WIN_FLAGS})
target_include_directories(Velmorant PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_libraries(Velmorant PRIVATE velmorant_logic advapi32 shell32 shlwapi user32 gdi32)
target_link_options(Velmorant PRIVATE ${VELMORANT_WIN_LINK} -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/Velmorant.map)
set_target_properties(Velmorant PROPERTIES OUTPUT_NAME Velmorant)
# windres finds the icon and the compact manifest in the build folder.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_CURRENT_BINARY_DIR}/resources -I${CMAKE_CURRENT_SOURCE_DIR}/resources")

# Helper programs of the end-to-end tests, each a single file.
foreach(helper recorder spawn trap probe)
  add_executable(${helper} tests/helpers/${helper}.cpp)
  target_compile_definitions(${helper} PRIVATE UNICODE _UNICODE)
  target_link_options(${helper} PRIVATE -static -static-libgcc -static-libstdc++ -municode)
  target_link_libraries(${helper} PRIVATE user32 gdi32 version psapi shell32)
  set_target_properties(${helper} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/helpers)
endforeach()

# A DLL that notes when it is loaded, planted under system DLLs' names.
add_library(planted SHARED tests/helpers/planted.cpp)
target_compile_definitions(planted PRIVATE UNICODE _UNICODE)
target_link_options(planted PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(planted PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/helpers)

# The benchmark's floors: the least a program can do to start "openFile.bat",
# or to show a window like the launcher's.
add_executable(floor WIN32 bench/floor.cpp)
target_compile_definitions(floor PRIVATE UNICODE _UNICODE)
target_link_options(floor PRIVATE -static -static-libgcc -static-libstdc++ -municode -mwindows -s)
target_link_libraries(floor PRIVATE shell32 user32 advapi32)
set_target_properties(floor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/helpers)

# What can be checked without running the program: machine type, subsystem,
# imports, what the skipped C runtime start-up would have prepared (read in
# the link map too) and resources.
add_test(NAME static_checks
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/static/check_program.py
          --exe $<TARGET_FILE:Velmorant> --machine ${CMAKE_SYSTEM_PROCESSOR}
          --map ${CMAKE_CURRENT_BINARY_DIR}/Velmorant.map
          --build-path ${CMAKE_SOURCE_DIR} --build-path ${CMAKE_BINARY_DIR})

add_test(NAME e2e
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/run_e2e.py
          --build ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(e2e PROPERTIES TIMEOUT 900)

# The program's SHA-256, printed by the release workflow.
add_test(NAME program_sha256 COMMAND ${CMAKE_COMMAND} -E sha256sum $<TARGET_FILE:Velmorant>)

# The release package: Velmorant-<version>-<win32|win64>.zip in the build
# folder, holding the program, the batch file that starts the application
# with the runtime it found, and a short text for packagers.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VELMORANT_PACKAGE_SYSTEM win64)
else()
  set(VELMORANT_PACKAGE_SYSTEM win32)
endif()
install(TARGETS Velmorant RUNTIME DESTINATION .)
install(FILES docs/packagers.txt DESTINATION . RENAME README-packagers.txt)
install(FILES resources/openFile.bat DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Velmorant-${PROJECT_VERSION}-${VELMORANT_PACKAGE_SYSTEM})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
