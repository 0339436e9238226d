# The simulated host and tarnik-sim.exe for Windows, from the same simhost/ and tools/
# sources as on Linux: the files named *Windows.cpp take the place of the *Posix.cpp
# ones. tarnik-sim.exe loads the registered tarnik.dll through COM, as the real host does.
# Included from cmake/Windows.cmake, after the platform and core libraries.

# nlohmann's JSON library is header-only and the same for every target: the Linux
# package's headers serve, through a folder that holds nothing else of the host's.
set(TARNIK_HOST_HEADERS ${CMAKE_CURRENT_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${TARNIK_HOST_HEADERS})
if(NOT EXISTS ${TARNIK_HOST_HEADERS}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${TARNIK_HOST_HEADERS}/nlohmann SYMBOLIC)
endif()

file(GLOB_RECURSE SIMHOST_SOURCES CONFIGURE_DEPENDS simhost/*.cpp)
list(FILTER SIMHOST_SOURCES EXCLUDE REGEX "Posix\\.cpp$")
add_library(tarnik_simhost STATIC ${SIMHOST_SOURCES})
target_include_directories(tarnik_simhost PUBLIC src ${CMAKE_CURRENT_SOURCE_DIR})
target_include_directories(tarnik_simhost SYSTEM PUBLIC ${TARNIK_HOST_HEADERS})
target_link_libraries(tarnik_simhost PUBLIC tarnik_platform tarnik_pugixml)

file(GLOB_RECURSE SIM_TOOL_SOURCES CONFIGURE_DEPENDS tools/*.cpp)
list(FILTER SIM_TOOL_SOURCES EXCLUDE REGEX "tools/Main\\.cpp$")
list(FILTER SIM_TOOL_SOURCES EXCLUDE REGEX "Posix\\.cpp$")
add_library(tarnik_simtools STATIC ${SIM_TOOL_SOURCES})
target_link_libraries(tarnik_simtools PUBLIC tarnik_simhost tarnik_core)

add_executable(tarnik-sim tools/Main.cpp)
target_link_libraries(tarnik-sim PRIVATE tarnik_simtools)
# No module path is built in: the plug-in is the one registered with regsvr32.
target_compile_definitions(tarnik-sim PRIVATE TARNIK_MODULE_PATH="")
target_link_options(tarnik-sim PRIVATE ${TARNIK_STATIC_RUNTIME})
