# The engine as a package for other programs. `cmake --install build --prefix
# DIR` puts the public headers under DIR/include/kq3d/, the static libraries
# under DIR/lib/ and the CMake package under DIR/lib/cmake/kq3d/, so another
# project does
#   find_package(kq3d 1.0 REQUIRED)
#   target_link_libraries(my-program PRIVATE kq3d::device)
# kq3d::engine is math, render, resource and platform; kq3d::device adds the
# emulated handheld, its front ends and the program's entry (docs/engine.md).
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

# The engine's API: the headers a program includes. Every other header is
# private to its directory. The host/ headers are those the public ones name
# (handles, the game-screen records, the raw heap's size, the window's text
# colours, the device's side of the program's entry), and the device's command
# line for a program that takes words of its own.
set(KQ3D_PUBLIC_HEADERS
  math/fixed.h math/matrix.h math/mesh.h math/color.h
  render/renderer.h
  resource/memory.h resource/debug.h resource/file.h resource/texture.h resource/zit.h
  resource/text_reader.h resource/obj_model.h
  platform/app.h platform/display.h platform/frame_tiles.h platform/key_input.h
  platform/tick_timer.h platform/window.h
  platform/startup.h platform/runtime.h
  host/handles.h host/gx.h host/raw_heap.h host/text_drawing.h host/window.h host/device.h
  host/option_table.h host/shell_options.h)

# Inside the repository the code names the engine's headers from its root
# ("math/fixed.h"); installed, each is named under kq3d/ (<kq3d/math/fixed.h>)
# and only DIR/include is on a program's include path, so a program's own
# math/ or render/ folder cannot stand in for the engine's. The headers are
# staged so into build/include/kq3d/ (Kq3dStageHeaders.cmake), with the
# generated kq3d/version.h; the in-tree example compiles against that tree as
# an outside program does against the installed one.
set(kq3d_staged ${PROJECT_BINARY_DIR}/include/kq3d)
set(kq3d_staged_headers ${kq3d_staged}/version.h)
set(kq3d_header_sources ${PROJECT_BINARY_DIR}/generated/kq3d/version.h)
foreach(header ${KQ3D_PUBLIC_HEADERS})
  list(APPEND kq3d_staged_headers ${kq3d_staged}/${header})
  list(APPEND kq3d_header_sources ${PROJECT_SOURCE_DIR}/${header})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${kq3d_staged}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kq3d/${folder})
endforeach()
install(FILES ${kq3d_staged}/version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kq3d)
string(REPLACE ";" "|" kq3d_header_list "${KQ3D_PUBLIC_HEADERS}")
add_custom_command(
  OUTPUT ${kq3d_staged_headers}
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DOUT=${kq3d_staged}
    -DHEADERS=${kq3d_header_list} -P ${CMAKE_CURRENT_LIST_DIR}/Kq3dStageHeaders.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_BINARY_DIR}/generated/kq3d/version.h
    ${kq3d_staged}/version.h
  DEPENDS ${kq3d_header_sources} ${CMAKE_CURRENT_LIST_DIR}/Kq3dStageHeaders.cmake
  COMMENT "Staging the engine's public headers"
  VERBATIM)
add_custom_target(kq3d_headers ALL DEPENDS ${kq3d_staged_headers})

add_library(kq3d_engine INTERFACE)
target_link_libraries(kq3d_engine INTERFACE kq3d_math kq3d_render kq3d_resource kq3d_platform)
target_include_directories(kq3d_engine INTERFACE $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
add_dependencies(kq3d_engine kq3d_headers)
# A program on the device links the device alone: it brings the engine.
target_link_libraries(kq3d_device PUBLIC kq3d_engine)
add_library(kq3d::engine ALIAS kq3d_engine)
add_library(kq3d::device ALIAS kq3d_device)

set(kq3d_installed kq3d_usage kq3d_math kq3d_render kq3d_resource kq3d_platform kq3d_runtime
  kq3d_host kq3d_engine kq3d_device)
foreach(target ${kq3d_installed})
  string(REPLACE "kq3d_" "" name ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
endforeach()
install(TARGETS ${kq3d_installed} EXPORT kq3dTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

set(kq3d_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/kq3d)
install(EXPORT kq3dTargets NAMESPACE kq3d:: DESTINATION ${kq3d_package_dir})
# The device writes its screenshots as PNG; its window front end, where it
# was built, is SDL2's.
set(KQ3D_PACKAGE_DEPENDENCIES "find_dependency(PNG)")
if(KQ3D_WINDOW_FRONT_END)
  string(APPEND KQ3D_PACKAGE_DEPENDENCIES "\nfind_dependency(SDL2 CONFIG)")
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kq3dConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/kq3dConfig.cmake INSTALL_DESTINATION ${kq3d_package_dir})
# 1.x serves a program that asks for 1.0 or any later 1.y.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/kq3dConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/kq3dConfig.cmake
  ${PROJECT_BINARY_DIR}/package/kq3dConfigVersion.cmake DESTINATION ${kq3d_package_dir})
