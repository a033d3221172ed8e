# The clock as a web page, configured with emcmake: build-web/bin is the page,
# a folder of static files (index.html, kq3d-clock.js and kq3d-clock.wasm, and
# the clock's three pictures) that any static server serves.
#
# The program's loop (App::Run) never returns: it polls the message queue and
# draws, pass after pass. Asyncify lets it stay as it is: at every poll the
# web front end waits for the browser's next frame, the wasm stack is put
# aside while the browser runs its events, and the loop goes on where it was.

target_link_options(kq3d-clock PRIVATE
  -sASYNCIFY=1
  # The stack put aside at every poll: main down to the front end's wait.
  -sASYNCIFY_STACK_SIZE=16384
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  # The page writes the pictures into the device's folder before main runs.
  -sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency)

# Debian's emscripten runs its JavaScript optimiser through node, which finds
# the optimiser's modules (acorn) only through NODE_PATH.
if(IS_DIRECTORY /usr/share/nodejs/acorn)
  set_property(TARGET kq3d-clock PROPERTY
    CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()

set(kq3d_page ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
add_custom_command(
  OUTPUT ${kq3d_page}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/host/web/index.html ${kq3d_page}/index.html
  DEPENDS ${PROJECT_SOURCE_DIR}/host/web/index.html)

# The pictures are painted by a native build of the painter (tools/pictures):
# its floating point runs the same here as in any native build, and only the
# ".zit" files go into the page.
include(ExternalProject)
set(kq3d_native ${CMAKE_BINARY_DIR}/native)
ExternalProject_Add(kq3d_native_pictures
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${kq3d_native}
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DKQ3D_TESTS=OFF -DKQ3D_BENCH=OFF -DKQ3D_WINDOW=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${kq3d_native} --target kq3d_demo_pictures
  INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different ${kq3d_native}/bin/hana01.zit
    ${kq3d_native}/bin/yama01.zit ${kq3d_native}/bin/title01.zit ${kq3d_page}
  BUILD_ALWAYS ON)

add_custom_target(kq3d_page ALL DEPENDS ${kq3d_page}/index.html kq3d_native_pictures)
add_dependencies(kq3d-clock kq3d_page)
