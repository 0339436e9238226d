# The registration script is one file, src/plugin/module/Tarnik.rgs: the Windows module
# carries it as its REGISTRY resource, and the registrar's table includes it as text.
set(TARNIK_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/src/plugin/module/Tarnik.rgs)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/src/plugin/module/Tarnik.rgs TARNIK_RGS)
file(CONFIGURE OUTPUT ${TARNIK_GENERATED_DIR}/plugin/module/Tarnik.rgs.inc
  CONTENT "R\"rgs(@TARNIK_RGS@)rgs\"\n" @ONLY)
