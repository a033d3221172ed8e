# The example program on the device as its reader runs it: headless with no
# end given (600 frames, its screen in spinning-cube.png, both named after the
# program), and its help and version under its own name.
# Called with -DPROGRAM=<spinning-cube> -DWORK=<an empty folder to run in>
# -DVERSION=<the project's version> and, for a cross build,
# -DEMULATOR=<the emulator command, | between its words>.
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/../expect_png.cmake)

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
  ${emulator} ${PROGRAM} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE said)
if(NOT status EQUAL 0 OR NOT said MATCHES
   "ran headless for 600 frames; its screen is in spinning-cube.png")
  message(FATAL_ERROR "the headless run ended with ${status}: ${said}")
endif()
expect_png(${WORK}/spinning-cube.png)

execute_process(COMMAND ${emulator} ${PROGRAM} --help RESULT_VARIABLE status OUTPUT_VARIABLE printed)
if(NOT status EQUAL 0 OR NOT printed MATCHES "^usage: spinning-cube \\[OPTION\\.\\.\\.\\]\n")
  message(FATAL_ERROR "--help ended with ${status} and printed: ${printed}")
endif()
execute_process(COMMAND ${emulator} ${PROGRAM} --version RESULT_VARIABLE status
  OUTPUT_VARIABLE printed)
if(NOT status EQUAL 0 OR NOT printed STREQUAL "spinning-cube ${VERSION}\n")
  message(FATAL_ERROR "--version ended with ${status} and printed: ${printed}")
endif()
