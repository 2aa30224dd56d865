# The cross build's programs (fx_tests.exe, fxhost.exe) run under wine in a
# prefix of the build's own. Tests that start wine need the fixture "wine",
# whose cleanup ends the wineserver kept running for the whole ctest run.
find_program(FX_WINE wine)
find_program(FX_WINESERVER wineserver)
if(NOT FX_WINE OR NOT FX_WINESERVER)
  message(FATAL_ERROR "the Win32 tests run under wine: install wine and wine32 (scripts/setup.sh)")
endif()
# Wine's loader is itself a 32-bit x86 program. A kernel that runs no 32-bit
# code refuses to start it ("Exec format error"), and no Windows program can
# run on that machine: there the tests under wine are listed as skipped, with
# the reason, and only the DLL's own checks run. Any other failure of wine is
# left to fail the tests.
execute_process(COMMAND ${FX_WINE} --version RESULT_VARIABLE FX_WINE_STATUS
                OUTPUT_QUIET ERROR_VARIABLE FX_WINE_ERROR)
set(FX_WINE_RUNS ON)
if(NOT FX_WINE_STATUS EQUAL 0 AND FX_WINE_ERROR MATCHES "Exec format error")
  set(FX_WINE_RUNS OFF)
  set(FX_WINE_SKIP_REASON "the kernel of this machine runs no 32-bit x86 programs, so wine cannot start")
  message(WARNING "${FX_WINE_SKIP_REASON}: the Win32 programs are built and the DLL's checks run, "
                  "but the tests under wine are skipped")
endif()

# A test that cannot run on this machine, listed as skipped with the reason.
function(fx_wine_skipped name)
  add_test(NAME ${name} COMMAND sh -c "echo '${name}: skipped: ${FX_WINE_SKIP_REASON}'; exit 77")
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

set(FX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine_run.sh ${FX_WINE_PREFIX})
if(FX_WINE_RUNS)
  add_test(NAME wine_stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop)
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()
