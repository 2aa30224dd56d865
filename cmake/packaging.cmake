# Install rules and release packages. Linux (.deb): fxhost and the plug-in
# side by side in lib/generic-fx (fxhost loads the generic.fx beside it), a
# link bin/fxhost, the documents in share/doc/generic-fx, the Python package
# for Debian's Python (its generic.fx a link to lib/generic-fx's) and the
# Blender add-on among Debian's Blender's own. Windows (.zip): the
# DLL, fxhost.exe when the build has it, the documents and SHA256SUMS, in
# one folder that drops into the host's plug-in folder.
if(WIN32)
  set(FX_APP_DIR .)
  set(FX_DOC_DIR .)
else()
  set(FX_APP_DIR lib/generic-fx)
  set(FX_DOC_DIR share/doc/generic-fx)
endif()

install(TARGETS generic_fx LIBRARY DESTINATION ${FX_APP_DIR} RUNTIME DESTINATION ${FX_APP_DIR})
if(TARGET fxhost)
  install(TARGETS fxhost RUNTIME DESTINATION ${FX_APP_DIR})
  if(NOT WIN32)
    file(CREATE_LINK ../${FX_APP_DIR}/fxhost ${CMAKE_BINARY_DIR}/fxhost-link SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/fxhost-link DESTINATION bin RENAME fxhost)
  endif()
endif()
if(TARGET fx_python)
  set(FX_PYTHON_DIR lib/python3/dist-packages/generic_fx)
  install(TARGETS fx_python LIBRARY DESTINATION ${FX_PYTHON_DIR})
  install(DIRECTORY python/generic_fx/ DESTINATION ${FX_PYTHON_DIR} FILES_MATCHING PATTERN "*.py")
  file(CREATE_LINK ../../../generic-fx/generic.fx ${CMAKE_BINARY_DIR}/python/generic.fx-link SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/python/generic.fx-link DESTINATION ${FX_PYTHON_DIR} RENAME generic.fx)
  install(DIRECTORY blender/generic_fx_bake DESTINATION share/blender/scripts/addons FILES_MATCHING PATTERN "*.py")
endif()
install(FILES README.md CHANGELOG.md LICENSE THIRD_PARTY_LICENSES.md DESTINATION ${FX_DOC_DIR})
install(DIRECTORY docs/ DESTINATION ${FX_DOC_DIR}/docs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

if(WIN32)
  # Last rule: the checksums of every file installed before it.
  install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    set(sums "")
    list(SORT CMAKE_INSTALL_MANIFEST_FILES)
    foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
      file(RELATIVE_PATH name "${root}" "${file}")
      file(SHA256 "${file}" sum)
      string(APPEND sums "${sum}  ${name}\n")
    endforeach()
    file(WRITE "${root}/SHA256SUMS" "${sums}")
  ]])
endif()

set(CPACK_PACKAGE_NAME generic-fx)
set(CPACK_PACKAGE_VENDOR "The generic.fx developers")
set(CPACK_PACKAGE_CONTACT "The generic.fx developers <generic-fx@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME generic-fx-${PROJECT_VERSION}-win32)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends from the linked libraries
  # The Python package needs Debian's Python with numpy; the add-on, Blender.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3 (>= 3.11), python3-numpy")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "blender")
endif()
include(CPack)
