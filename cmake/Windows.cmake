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
set_source_files_properties(resources/Velmorant.rc PROPERTIES
  OBJECT_DEPENDS "${VELMORANT_ICON};${CMAKE_CURRENT_SOURCE_DIR}/resources/Velmorant.manifest")

# Size: no unwinding tables beyond what exceptions need, unused sections
# dropped, symbols stripped.
set(VELMORANT_WIN_LINK -static -static-libgcc -static-libstdc++ -municode -mwindows
    -Wl,--gc-sections -s)
target_compile_options(velmorant_logic PRIVATE -ffunction-sections -fdata-sections)
# Link-time optimisation inlines the standard library's small string and
# container operations across the program, which leaves far less of the
# library's code to link (about a fifth of the program's size).
set_target_properties(velmorant_logic PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)

add_executable(Velmorant WIN32
  platform/win32/WinMain.cpp
  platform/win32/Win32Platform.cpp
  platform/win32/TerminateHandler.cpp
  resources/Velmorant.rc
)
add_dependencies(Velmorant velmorant_icon)
target_compile_definitions(Velmorant PRIVATE UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
target_compile_options(Velmorant PRIVATE -Wall -Wextra -ffunction-sections -fdata-sections)
target_include_directories(Velmorant PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_libraries(Velmorant PRIVATE velmorant_logic advapi32 shell32 user32 gdi32)
target_link_options(Velmorant PRIVATE ${VELMORANT_WIN_LINK} -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/Velmorant.map)
set_target_properties(Velmorant PROPERTIES OUTPUT_NAME Velmorant INTERPROCEDURAL_OPTIMIZATION ON)
# windres must find the icon in the build folder and the manifest beside the script.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_CURRENT_BINARY_DIR}/resources -I${CMAKE_CURRENT_SOURCE_DIR}/resources")

# Helper programs of the end-to-end tests, each a single file.
foreach(helper recorder spawn trap probe)
  add_executable(${helper} tests/helpers/${helper}.cpp)
  target_compile_definitions(${helper} PRIVATE UNICODE _UNICODE)
  target_link_options(${helper} PRIVATE -static -static-libgcc -static-libstdc++ -municode)
  target_link_libraries(${helper} PRIVATE user32 gdi32 version psapi shell32)
  set_target_properties(${helper} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/helpers)
endforeach()

# The benchmark's floors: the least a program can do to start "openFile.bat",
# or to show a window like the launcher's.
add_executable(floor WIN32 bench/floor.cpp)
target_compile_definitions(floor PRIVATE UNICODE _UNICODE)
target_link_options(floor PRIVATE -static -static-libgcc -static-libstdc++ -municode -mwindows -s)
target_link_libraries(floor PRIVATE shell32 user32 advapi32)
set_target_properties(floor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/helpers)

# What can be checked without running the program: machine type, subsystem,
# imports and resources.
add_test(NAME static_checks
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/static/check_program.py
          --exe $<TARGET_FILE:Velmorant> --machine ${CMAKE_SYSTEM_PROCESSOR})

add_test(NAME e2e
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/run_e2e.py
          --build ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(e2e PROPERTIES TIMEOUT 900)
