# The instruction sets the lanes are compiled for, and their flags: SSE2 and
# AVX2 with FMA in every build, AVX-512 (F, DQ and VL) on x86-64 only, the
# 32-bit builds' AVX-512 never having run on a processor that has it. The
# widest set the processor runs is chosen at load (scene/instruction_sets.h).
set(FX_LANE_SETS sse2 avx2)
set(FX_LANE_FLAGS_sse2 "")
set(FX_LANE_FLAGS_avx2 -mavx2 -mfma)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND FX_LANE_SETS avx512)
  set(FX_LANE_FLAGS_avx512 -mavx512f -mavx512dq -mavx512vl -mavx2 -mfma)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12's AVX-512 intrinsics start from _mm512_undefined_*(), which its
    # uninitialised-use warnings mistake for reads.
    list(APPEND FX_LANE_FLAGS_avx512 -Wno-uninitialized -Wno-maybe-uninitialized)
  endif()
endif()

# fx_lanes(target header...): compiles each header, named as the target's
# include directories find it, once per set into the target, through a
# generated source that includes scene/lanes.h first (which opens the set's
# namespace) and then the header.
function(fx_lanes target)
  foreach(header IN LISTS ARGN)
    string(REGEX REPLACE "\\.h$" "" stem "${header}")
    string(MAKE_C_IDENTIFIER "${stem}" stem)
    foreach(set IN LISTS FX_LANE_SETS)
      set(source ${CMAKE_CURRENT_BINARY_DIR}/lanes/${stem}_${set}.cpp)
      file(CONFIGURE OUTPUT ${source} CONTENT "// ${header}, compiled for ${set}.
#include \"scene/lanes.h\"
#include \"${header}\"
")
      target_sources(${target} PRIVATE ${source})
      set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS "${FX_LANE_FLAGS_${set}}")
    endforeach()
  endforeach()
endfunction()
