# tinygltf and nlohmann-json (Debian's libtinygltf-dev, nlohmann-json3-dev)
# for fxhost's glTF export, without images. host/tinygltf_impl.cpp compiles
# the serialiser, natively and in the MinGW build alike.
find_path(FX_TINYGLTF_INCLUDE tiny_gltf.h NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(FX_JSON_INCLUDE nlohmann/json.hpp NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(fx_tinygltf INTERFACE)
target_compile_definitions(fx_tinygltf INTERFACE
  TINYGLTF_NO_STB_IMAGE TINYGLTF_NO_STB_IMAGE_WRITE TINYGLTF_NO_EXTERNAL_IMAGE)
if(CMAKE_CROSSCOMPILING)
  # Header-only: copied apart, so the cross compiler sees no other header of
  # the build machine.
  set(FX_TINYGLTF_COPY ${CMAKE_BINARY_DIR}/third_party/include)
  file(COPY ${FX_TINYGLTF_INCLUDE}/tiny_gltf.h ${FX_JSON_INCLUDE}/nlohmann DESTINATION ${FX_TINYGLTF_COPY})
  target_include_directories(fx_tinygltf SYSTEM INTERFACE ${FX_TINYGLTF_COPY})
endif()
