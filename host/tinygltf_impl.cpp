// tinygltf's serialiser, compiled once into fxhost: Debian ships it as a
// header, and compiling it here serves the MinGW build the same way.
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
