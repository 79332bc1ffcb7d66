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
# start-up code; i686 symbols carry a leading underscore. Its load
# configuration, _load_config_used, is kept by the link although nothing
# refers to it.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VELMORANT_SYMBOL_PREFIX "")
else()
  set(VELMORANT_SYMBOL_PREFIX _)
endif()
set(VELMORANT_WIN_LINK -static -static-libgcc -static-libstdc++ -mwindows -nostartfiles
    -Wl,-e,${VELMORANT_SYMBOL_PREFIX}VelmorantStart
    -Wl,--require-defined=${VELMORANT_SYMBOL_PREFIX}_load_config_used
    -Wl,--gc-sections -Wl,--no-insert-timestamp -s)
target_compile_options(velmorant_logic PRIVATE ${VELMORANT_WIN_FLAGS})
# No link-time optimisation: the linker cannot take it together with the
# program's own entry point. Each target is compiled as one unit instead, so
# that the optimiser sees the whole search at once and drops the copies of
# the string and vector code that separate units each keep: a tenth of the
# program. Names local to one source file must therefore differ from file to
# file.
set_target_properties(velmorant_logic PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)

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
set_target_properties(Velmorant PROPERTIES OUTPUT_NAME Velmorant UNITY_BUILD ON
                      UNITY_BUILD_BATCH_SIZE 0)
# GNU ld leaves the load configuration out of the PE header; its address is
# in the link map, which names symbols without the i686 underscore. Set
# before anything signs the program.
add_custom_command(TARGET Velmorant POST_BUILD
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/cmake/set_load_config.py
          --exe $<TARGET_FILE:Velmorant> --map ${CMAKE_CURRENT_BINARY_DIR}/Velmorant.map
          --symbol _load_config_used
  COMMENT "Setting the load configuration of Velmorant.exe")
# The allocation functions stay a unit of their own: seen together with
# their callers, GCC takes malloc's memory freed by operator delete for a
# mismatch.
set_source_files_properties(platform/win32/NoExceptions.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
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

# Tests of the Win32 platform itself, run under Wine.
add_executable(platform_test tests/helpers/platform_test.cpp platform/win32/Win32Platform.cpp)
target_compile_definitions(platform_test PRIVATE UNICODE _UNICODE)
target_include_directories(platform_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_options(platform_test PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(platform_test PRIVATE velmorant_logic advapi32 shell32 shlwapi user32 gdi32)
set_target_properties(platform_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/helpers)

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
          --map ${CMAKE_CURRENT_BINARY_DIR}/Velmorant.map --objdump ${CMAKE_OBJDUMP}
          --build-path ${CMAKE_SOURCE_DIR} --build-path ${CMAKE_BINARY_DIR})

add_test(NAME e2e
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/run_e2e.py
          --build ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(e2e PROPERTIES TIMEOUT 900)
# The shipped program on 64-bit Windows (WoW64): in a 64-bit prefix, started
# and observed by the helpers of the x86_64 build, which is built first.
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VELMORANT_WIN64_BUILD ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH
      "The x86_64 build whose helpers serve the WoW64 end-to-end tests")
  add_test(NAME e2e_wow64
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/run_e2e.py
            --build ${CMAKE_CURRENT_BINARY_DIR} --helpers ${VELMORANT_WIN64_BUILD})
  set_tests_properties(e2e_wow64 PROPERTIES TIMEOUT 900)
endif()

# The release's program is signed when VELMORANT_SIGN_PKCS12 names a PKCS#12
# file as the build is configured (cmake/Sign.cmake reads the key, its
# password and a timestamp server from the environment when it runs). The
# unsigned program stays where it is, byte-identical from every build; the
# signed one is signed/Velmorant.exe, and it is what the package holds.
if(NOT "$ENV{VELMORANT_SIGN_PKCS12}" STREQUAL "")
  set(VELMORANT_RELEASE_EXE ${CMAKE_CURRENT_BINARY_DIR}/signed/Velmorant.exe)
  add_custom_command(
    OUTPUT ${VELMORANT_RELEASE_EXE}
    COMMAND ${CMAKE_COMMAND} -DIN=$<TARGET_FILE:Velmorant> -DOUT=${VELMORANT_RELEASE_EXE}
            -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/Sign.cmake
    DEPENDS Velmorant ${CMAKE_SOURCE_DIR}/cmake/Sign.cmake
    COMMENT "Signing Velmorant.exe")
  add_custom_target(velmorant_signed ALL DEPENDS ${VELMORANT_RELEASE_EXE})
  install(PROGRAMS ${VELMORANT_RELEASE_EXE} DESTINATION .)
  add_test(NAME static_checks_signed
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/static/check_program.py
            --exe ${VELMORANT_RELEASE_EXE} --machine ${CMAKE_SYSTEM_PROCESSOR} --signed
            --build-path ${CMAKE_SOURCE_DIR} --build-path ${CMAKE_BINARY_DIR})
else()
  set(VELMORANT_RELEASE_EXE $<TARGET_FILE:Velmorant>)
  install(TARGETS Velmorant RUNTIME DESTINATION .)
endif()

# The SHA-256 of the program in the package, printed by the release workflow.
add_test(NAME program_sha256 COMMAND ${CMAKE_COMMAND} -E sha256sum ${VELMORANT_RELEASE_EXE})

# The release package: Velmorant-<version>-<win32|win64>.zip in the build
# folder, holding the program, the batch file that starts the application
# with the runtime it found, and a short text for packagers.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VELMORANT_PACKAGE_SYSTEM win64)
else()
  set(VELMORANT_PACKAGE_SYSTEM win32)
endif()
install(FILES docs/packagers.txt DESTINATION . RENAME README-packagers.txt)
install(FILES resources/openFile.bat DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Velmorant-${PROJECT_VERSION}-${VELMORANT_PACKAGE_SYSTEM})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
