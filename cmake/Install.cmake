# What `cmake --install` puts under a prefix:
#
#   include/kzm/<layer>/*.h          the public headers of core, image, platform,
#                                    mapdata and render (their internal/ and
#                                    testing/ folders stay behind); consumers
#                                    put include/kzm on their include path
#   <libdir>/libkzm_<layer>.a|.so.*  the layers, static unless BUILD_SHARED_LIBS
#   <libdir>/cmake/KZM/              find_package(KZM) with its version file
#   <libdir>/pkgconfig/kzm.pc        pkg-config
#   bin/kzm                          the tool
#   libexec/kzm/                     kzm-testbed with NewWorld.kzm and
#                                    resource0.png beside it, where it looks;
#                                    bin/kzm-testbed links to it
#   share/doc/kzm/examples/          the example games, as sources
include(CMakePackageConfigHelpers)

set(KZM_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KZM)
set(KZM_TESTBED_DIR ${CMAKE_INSTALL_LIBEXECDIR}/kzm)

set(kzm_layer_targets "")
foreach(layer IN LISTS KZM_PUBLIC_LAYERS)
  # Only the folder's own level: internal/ and testing/ are not for games.
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${layer}/*.h)
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kzm/${layer})
  # The headers use C++20 (std::span, char16_t strings): say so to every user.
  target_compile_features(kzm_${layer} PUBLIC cxx_std_20)
  list(APPEND kzm_layer_targets kzm_${layer})
endforeach()

if(BUILD_SHARED_LIBS)
  # Relocatable: the programs and libraries find their own libraries from
  # where they lie, under any prefix.
  file(RELATIVE_PATH bin_to_lib /p/${CMAKE_INSTALL_BINDIR} /p/${CMAKE_INSTALL_LIBDIR})
  file(RELATIVE_PATH testbed_to_lib /p/${KZM_TESTBED_DIR} /p/${CMAKE_INSTALL_LIBDIR})
  set_target_properties(${kzm_layer_targets} PROPERTIES INSTALL_RPATH "$ORIGIN")
  set_target_properties(kzm PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
  set_target_properties(kzm-testbed PROPERTIES INSTALL_RPATH "$ORIGIN/${testbed_to_lib}")
endif()

install(TARGETS ${kzm_layer_targets} EXPORT KZMTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT KZMTargets NAMESPACE KZM:: DESTINATION ${KZM_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KZMConfig.cmake.in ${PROJECT_BINARY_DIR}/KZMConfig.cmake
  INSTALL_DESTINATION ${KZM_CMAKE_DIR})
# 1.x keeps its API and ABI (see the README), so any 1.y satisfies a request
# for 1.x with x <= y.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KZMConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KZMConfig.cmake ${PROJECT_BINARY_DIR}/KZMConfigVersion.cmake
  DESTINATION ${KZM_CMAKE_DIR})

# pkg-config. A static KZM makes its users link its third-party libraries
# themselves; a shared one names them only for `pkg-config --static`. FLTK
# ships no .pc file on Debian, so it is named as a plain library.
file(RELATIVE_PATH KZM_PC_PREFIX_FROM_PC_DIR /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
string(REGEX REPLACE "/$" "" KZM_PC_PREFIX_FROM_PC_DIR "${KZM_PC_PREFIX_FROM_PC_DIR}")
if(BUILD_SHARED_LIBS)
  set(KZM_PC_REQUIRES "Requires.private")
  set(KZM_PC_STATIC_LIBS "")
  set(KZM_PC_PRIVATE_LIBS "Libs.private: -lfltk")
else()
  set(KZM_PC_REQUIRES "Requires")
  set(KZM_PC_STATIC_LIBS " -lfltk")
  set(KZM_PC_PRIVATE_LIBS "")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/kzm.pc.in ${PROJECT_BINARY_DIR}/kzm.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kzm.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The tool, and the test bed in a folder of its own with the sample world
# beside it (it looks for its map beside its executable, which it finds
# through the link).
install(TARGETS kzm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kzm-testbed RUNTIME DESTINATION ${KZM_TESTBED_DIR})
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/NewWorld.kzm ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/resource0.png
  DESTINATION ${KZM_TESTBED_DIR})
file(RELATIVE_PATH bin_to_testbed /p/${CMAKE_INSTALL_BINDIR} /p/${KZM_TESTBED_DIR}/kzm-testbed)
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kzm-testbed\")
  message(STATUS \"Installing: \${link} -> ${bin_to_testbed}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"${bin_to_testbed}\" \"\${link}\" SYMBOLIC)
")

install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  PATTERN "build*" EXCLUDE)
