# The device run as a newcomer runs it: headless for a few frames with a
# screenshot, headless with no end given (600 frames and kq3d-clock.png in the
# current folder), with a bad option (one line, status 2), and asked for its
# help and version (standard output, status 0); and the digest of the clock
# at 10:08:30 after 40 frames, alone on standard output (the web page's check
# compares the same number).
# Called with -DCLOCK=<kq3d-clock> -DWORK=<an empty folder to run in>,
# -DVERSION=<the project's version> and, for a
# cross build, -DEMULATOR=<the emulator command, | between its words>.
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_png path)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "no picture at ${path}")
  endif()
  file(READ ${path} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width STREQUAL "000000f0"
     OR NOT height STREQUAL "00000140")
    message(FATAL_ERROR "${path} is not a 240x320 PNG (${header})")
  endif()
endfunction()

execute_process(COMMAND ${emulator} ${CLOCK} --headless --frames 5 --screenshot out.png
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "--headless --frames 5 ended with ${status}")
endif()
expect_png(${WORK}/out.png)

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${emulator} ${CLOCK}
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE said)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the headless run ended with ${status}: ${said}")
endif()
expect_png(${WORK}/kq3d-clock.png)
if(NOT said MATCHES "kq3d-clock.png")
  message(FATAL_ERROR "the headless run did not say where its picture went: ${said}")
endif()

execute_process(COMMAND ${emulator} ${CLOCK} --frames five
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE said)
string(REGEX MATCHALL "\n" lines "${said}")
list(LENGTH lines count)
if(NOT status EQUAL 2 OR NOT count EQUAL 1)
  message(FATAL_ERROR "a bad option gave status ${status} and said: ${said}")
endif()

execute_process(COMMAND ${emulator} ${CLOCK} --help
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE help ERROR_VARIABLE said)
if(NOT status EQUAL 0 OR NOT help MATCHES "^usage: kq3d-clock \\[OPTION\\.\\.\\.\\]\n" OR NOT said STREQUAL "")
  message(FATAL_ERROR "--help gave status ${status}, said ${said} and printed: ${help}")
endif()

execute_process(COMMAND ${emulator} ${CLOCK} --version
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version STREQUAL "kq3d-clock ${VERSION}\n")
  message(FATAL_ERROR "--version gave status ${status} and printed: ${version}")
endif()

execute_process(COMMAND ${emulator} ${CLOCK} --headless --time 10:08:30 --frames 40 --digest
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_QUIET)
if(NOT status EQUAL 0 OR NOT said STREQUAL "2f15884c\n")
  message(FATAL_ERROR "--digest at 10:08:30, 40 frames gave status ${status} and said: ${said}")
endif()
