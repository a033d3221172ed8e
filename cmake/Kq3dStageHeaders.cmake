# cmake -DROOT=<the repository> -DOUT=<build/include/kq3d> -DHEADERS=<a|b|...>
#   -P Kq3dStageHeaders.cmake
# Copies the public headers into OUT, each include of an engine header named
# under kq3d/ ("math/fixed.h" becomes "kq3d/math/fixed.h"). A public header
# that includes a header not in the list stops the build: the installed tree
# must compile on its own.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" headers "${HEADERS}")
set(engine_include "#include \"((math|render|resource|platform|host)/[A-Za-z0-9_]+\\.h)\"")
foreach(header ${headers})
  file(READ ${ROOT}/${header} text)
  string(REGEX MATCHALL "${engine_include}" includes "${text}")
  foreach(include ${includes})
    string(REGEX REPLACE "${engine_include}" "\\1" named "${include}")
    if(NOT named IN_LIST headers)
      message(FATAL_ERROR "${header} includes ${named}, which is not installed: make it public "
        "(KQ3D_PUBLIC_HEADERS in cmake/Kq3dPackage.cmake) or include it in a .cpp file")
    endif()
  endforeach()
  string(REGEX REPLACE "${engine_include}" "#include \"kq3d/\\1\"" text "${text}")
  file(WRITE ${OUT}/${header} "${text}")
endforeach()
