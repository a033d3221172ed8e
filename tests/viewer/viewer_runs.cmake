# The viewer run as its page tells: each sample model headless with a
# screenshot, the model written by hand in docs/viewer.md, a picture of one's
# own, the default run (600 frames and kq3d-view.png), bad models (one line,
# status 1), wrong words (status 2), and --help and --version.
# Called with -DVIEW=<kq3d-view> -DSAMPLES=<the samples' folder>
# -DPICTURE=<a square .zit> -DDOCS=<docs/viewer.md> -DWORK=<an empty folder>
# -DVERSION=<the project's version> and, for a cross build,
# -DEMULATOR=<the emulator command, | between its words>.
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/../expect_png.cmake)

# view(expected-status ARGS...): runs the viewer in WORK; its standard error
# in `said`, standard output in `printed`.
function(view expected)
  execute_process(COMMAND ${emulator} ${VIEW} ${ARGN} WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected)
    message(FATAL_ERROR "kq3d-view ${ARGN} ended with ${status}, not ${expected}: ${err}")
  endif()
  set(said "${err}" PARENT_SCOPE)
  set(printed "${out}" PARENT_SCOPE)
endfunction()

foreach(sample torus-knot sphere terrain)
  view(0 ${SAMPLES}/${sample}.obj --headless --frames 5 --screenshot ${sample}.png)
  expect_png(${WORK}/${sample}.png)
endforeach()
view(0 ${SAMPLES}/sphere.obj --texture ${PICTURE} --headless --frames 5 --screenshot own.png)
expect_png(${WORK}/own.png)

# The example of the page, as a reader copies it.
file(READ ${DOCS} page)
string(REGEX MATCH "<!-- kq3d-view example[^\n]*-->\n```obj\n([^`]*)```" found "${page}")
if(NOT found)
  message(FATAL_ERROR "${DOCS} holds no example model under its marker")
endif()
file(WRITE ${WORK}/pyramid.obj "${CMAKE_MATCH_1}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
  ${emulator} ${VIEW} pyramid.obj WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
  ERROR_VARIABLE said)
if(NOT status EQUAL 0 OR NOT said MATCHES "so the viewer ran headless for 600 frames; its screen is in kq3d-view.png")
  message(FATAL_ERROR "the page's example ended with ${status}: ${said}")
endif()
expect_png(${WORK}/kq3d-view.png)
file(REMOVE ${WORK}/kq3d-view.png)

# Bad models: one line naming the file and the line, status 1, and no
# picture that would only mislead.
file(WRITE ${WORK}/bad.obj "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n")
file(WRITE ${WORK}/empty.obj "")
foreach(case "bad.obj|bad.obj:4: face names vertex 9 of 3"
             "empty.obj|empty.obj: no faces: the model is empty"
             "absent.obj|absent.obj: no such file, or it cannot be read")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 model)
  list(GET case 1 line)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
    ${emulator} ${VIEW} ${model} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
    ERROR_VARIABLE said)
  if(NOT status EQUAL 1 OR NOT said MATCHES "(^|\n)${line}\r?\n")
    message(FATAL_ERROR "${model} ended with ${status} and said: ${said}")
  endif()
  if(EXISTS ${WORK}/kq3d-view.png)
    message(FATAL_ERROR "${model} left a picture")
  endif()
endforeach()
view(1 ${SAMPLES}/sphere.obj --texture absent.zit --headless --frames 1)

view(2)
if(NOT said MATCHES "^kq3d-view: no MODEL.obj given; try \"kq3d-view --help\"\n$")
  message(FATAL_ERROR "no model said: ${said}")
endif()
view(0 --help)
if(NOT printed MATCHES "^usage: kq3d-view \\[OPTION\\.\\.\\.\\] MODEL\\.obj \\[--texture PICTURE\\.zit\\]\n")
  message(FATAL_ERROR "--help printed: ${printed}")
endif()
view(0 --version)
if(NOT printed STREQUAL "kq3d-view ${VERSION}\n")
  message(FATAL_ERROR "--version printed: ${printed}")
endif()
