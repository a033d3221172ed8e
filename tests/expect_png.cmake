# expect_png(PATH): fails unless PATH is a PNG of the device's 240x320 screen.
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
