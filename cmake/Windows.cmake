# The Windows build: tarnik.dll, the in-process COM server a player registers with
# regsvr32, on the system's own COM, registry, timers and files (src/platform/windows).
# Included from CMakeLists.txt when cross-compiling with cmake/mingw-i686.cmake or
# cmake/mingw-x86_64.cmake.
enable_language(RC)

# pugixml's sources as Debian ships them (its source package; `make windows` fetches it).
set(TARNIK_PUGIXML_DIR "" CACHE PATH "Folder of pugixml's sources (holding src/pugixml.cpp)")
if(NOT EXISTS "${TARNIK_PUGIXML_DIR}/src/pugixml.cpp")
  message(FATAL_ERROR "TARNIK_PUGIXML_DIR must name pugixml's sources; `make windows` fetches them")
endif()
find_program(TARNIK_WIDL_PROGRAM NAMES ${TARNIK_WIDL} widl REQUIRED)
# The system's IDL files (oaidl.idl, ocidl.idl), as Wine's development package ships them.
set(TARNIK_IDL_INCLUDE /usr/include/wine/wine/windows CACHE PATH "Folder of the system's IDL files")
# The standard OLE type library the IDL imports, as Wine ships it.
find_path(TARNIK_STDOLE_DIR stdole2.tlb NO_CMAKE_FIND_ROOT_PATH REQUIRED
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
        /usr/lib/wine/x86_64-windows /usr/lib/wine/i386-windows)

# Windows 7 and later: RegDeleteTree, GetModuleHandleEx. The C library's printf family
# as C99 has it (%zu, %lld), the one the format checks of the Linux builds assume.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 __USE_MINGW_ANSI_STDIO=1)
# LONG is `long` on Windows and `int32_t` elsewhere, both 32 bits here, so a LONG
# printed with %d is right on both; GCC's format check cannot tell same-sized types
# apart, so it is left to the Linux builds, which check every format.
target_compile_options(tarnik_options INTERFACE -Wno-format)
# One DLL, no runtime DLLs of the compiler beside it.
set(TARNIK_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

add_library(tarnik_pugixml STATIC ${TARNIK_PUGIXML_DIR}/src/pugixml.cpp)
target_include_directories(tarnik_pugixml SYSTEM PUBLIC ${TARNIK_PUGIXML_DIR}/src)
# Its code is not ours to keep warning-free.
target_compile_options(tarnik_pugixml PRIVATE -w)

file(GLOB PLATFORM_SOURCES CONFIGURE_DEPENDS src/platform/*.cpp src/platform/windows/*.cpp)
add_library(tarnik_platform STATIC ${PLATFORM_SOURCES})
tarnik_include_root(tarnik_platform PUBLIC platform ${CMAKE_CURRENT_SOURCE_DIR}/src/platform)
target_link_libraries(tarnik_platform PUBLIC ole32 oleaut32 uuid advapi32 user32)
tarnik_target_options(tarnik_platform)

add_library(tarnik_host INTERFACE)
tarnik_include_root(tarnik_host INTERFACE plugin/host ${CMAKE_CURRENT_SOURCE_DIR}/src/plugin/host)
target_link_libraries(tarnik_host INTERFACE tarnik_platform)

file(GLOB_RECURSE CORE_SOURCES CONFIGURE_DEPENDS
  src/plugin/*.cpp src/commands/*.cpp src/inventory/*.cpp src/organise/*.cpp
  src/equip/*.cpp src/field/*.cpp src/config/*.cpp)
list(FILTER CORE_SOURCES EXCLUDE REGEX "src/plugin/module/")
add_library(tarnik_core STATIC ${CORE_SOURCES})
target_include_directories(tarnik_core PUBLIC src PRIVATE ${TARNIK_GENERATED_DIR})
target_link_libraries(tarnik_core PUBLIC tarnik_host tarnik_platform tarnik_pugixml)
tarnik_target_options(tarnik_core)

# The type library, described once in IDL and embedded as TYPELIB 1.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TARNIK_WIDL_ARCH --win64)
else()
  set(TARNIK_WIDL_ARCH --win32)
endif()
set(TARNIK_TLB ${CMAKE_CURRENT_BINARY_DIR}/tarnik.tlb)
add_custom_command(OUTPUT ${TARNIK_TLB}
  COMMAND ${TARNIK_WIDL_PROGRAM} ${TARNIK_WIDL_ARCH} -t -I${TARNIK_IDL_INCLUDE} -L${TARNIK_STDOLE_DIR}
          -o ${TARNIK_TLB} ${CMAKE_CURRENT_SOURCE_DIR}/src/plugin/module/Tarnik.idl
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/plugin/module/Tarnik.idl
  COMMENT "Compiling the type library")
set_source_files_properties(src/plugin/module/Tarnik.rc PROPERTIES
  OBJECT_DEPENDS "${TARNIK_TLB};${CMAKE_CURRENT_SOURCE_DIR}/src/plugin/module/Tarnik.rgs")

file(GLOB MODULE_SOURCES CONFIGURE_DEPENDS src/plugin/module/*.cpp)
add_library(tarnik SHARED ${MODULE_SOURCES} src/plugin/module/Tarnik.rc
  src/plugin/module/Tarnik.def)
target_include_directories(tarnik PRIVATE ${CMAKE_CURRENT_BINARY_DIR} src/plugin/module)
target_link_libraries(tarnik PRIVATE tarnik_core)
tarnik_target_options(tarnik)
set_target_properties(tarnik PROPERTIES PREFIX "" OUTPUT_NAME tarnik)
# Exactly the four entry points of the .def file, undecorated also on i686 (where the
# .def names resolve to the stdcall symbols, _DllGetClassObject@12 and the like).
target_link_options(tarnik PRIVATE ${TARNIK_STATIC_RUNTIME} -s -Wl,--kill-at -Wl,--enable-stdcall-fixup -Wl,--no-undefined)

enable_testing()
include(cmake/WindowsSim.cmake)
include(cmake/WindowsTests.cmake)
