# The cross build's programs (fx_tests.exe, fxhost.exe) run under wine in a
# prefix of the build's own. Tests that start wine need the fixture "wine",
# whose cleanup ends the wineserver kept running for the whole ctest run.
find_program(FX_WINE wine)
find_program(FX_WINESERVER wineserver)
if(NOT FX_WINE OR NOT FX_WINESERVER)
  message(FATAL_ERROR "the Win32 tests run under wine: install wine and wine32 (scripts/setup.sh)")
endif()
set(FX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine_run.sh ${FX_WINE_PREFIX})
add_test(NAME wine_stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
