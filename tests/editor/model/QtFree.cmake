# The model and the highlighting are kept free of Qt, so that they build and
# test without a display and the fuzzers can link them alone: no Qt header in
# any of their files. Run with -DSRC=<the editor's source folder>.
file(GLOB files ${SRC}/model/*.h ${SRC}/model/*.cpp ${SRC}/highlight/*.h ${SRC}/highlight/*.cpp
                ${SRC}/view/RIzuvAzazKeyboard.* ${SRC}/view/RIzuvAzazMouse.* ${SRC}/view/RIzuvAzazScroll.*)
list(LENGTH files count)
if(count LESS 40)
  message(FATAL_ERROR "only ${count} files found under ${SRC}")
endif()
foreach(f ${files})
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
  if(lines)
    message(FATAL_ERROR "${f} includes Qt: ${lines}")
  endif()
endforeach()
