# The Windows checks, label "windows": the DLL's exports, imports and resources in every
# run; under Wine (headless, in a throwaway prefix) registration, unregistration and an
# automation client, where a Wine of the DLL's architecture is installed.
add_test(NAME windows_dll_outside
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/check-dll.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:tarnik>)
set_tests_properties(windows_dll_outside PROPERTIES LABELS windows)

find_program(TARNIK_WINE NAMES wine wine64 NO_CMAKE_FIND_ROOT_PATH)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TARNIK_WINE_DLLS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
else()
  # 32-bit Wine (Debian's wine32) upgrades dozens of system packages; CI goes without.
  set(TARNIK_WINE_DLLS /usr/lib/i386-linux-gnu/wine/i386-windows)
endif()
if(TARNIK_WINE AND EXISTS ${TARNIK_WINE_DLLS}/kernel32.dll)
  add_test(NAME windows_under_wine
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/wine-checks.sh ${TARNIK_WINE} $<TARGET_FILE:tarnik>)
  set_tests_properties(windows_under_wine PROPERTIES LABELS windows TIMEOUT 180)
else()
  message(STATUS "No Wine for ${CMAKE_SYSTEM_PROCESSOR}: the DLL is built and inspected, not run")
endif()
