# Installs a build directory into a scratch root as a distribution would
# (prefix /usr, DESTDIR) and checks what the desktop and the system find
# there. cmake -DBUILD=<build dir> -DSTAGE=<scratch dir> -DVERSION=<version>
#   -DDESKTOP_VALIDATE=<tool> -DAPPSTREAM=<tool> -P CheckInstall.cmake
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
                        ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()
set(root ${STAGE}/usr)

set(missing)
foreach(path bin/lorvane share/lorvane share/applications/org.lorvane.Lorvane.desktop
             share/metainfo/org.lorvane.Lorvane.metainfo.xml share/man/man1/lorvane.1.gz
             share/man/ru/man1/lorvane.1.gz share/icons/hicolor/scalable/apps/lorvane.svg)
  if(NOT EXISTS ${root}/${path})
    list(APPEND missing ${path})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()

# Every PNG is as large as the folder it lies in says (width and height
# are bytes 16 to 23 of the file).
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${root}/share/icons/hicolor/${size}x${size}/apps/lorvane.png)
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "no ${size}x${size} icon")
  endif()
  file(READ ${png} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 16 dimensions)
  math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" expected "${expected}")
  string(LENGTH "${expected}" length)
  math(EXPR pad "8 - ${length}")
  string(REPEAT "0" ${pad} zeros)
  if(NOT dimensions STREQUAL "${zeros}${expected}${zeros}${expected}")
    message(FATAL_ERROR "${png} is not ${size}x${size}: ${dimensions}")
  endif()
endforeach()

foreach(check
    "${DESKTOP_VALIDATE};${root}/share/applications/org.lorvane.Lorvane.desktop"
    "${APPSTREAM};validate;--no-net;${root}/share/metainfo/org.lorvane.Lorvane.metainfo.xml")
  execute_process(COMMAND ${check} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${check}:\n${out}")
  endif()
endforeach()

# The installed program answers without a display.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        ${root}/bin/lorvane --version
                RESULT_VARIABLE failed OUTPUT_VARIABLE out)
if(failed OR NOT out STREQUAL "Lorvane ${VERSION}\n")
  message(FATAL_ERROR "lorvane --version: ${failed}: ${out}")
endif()
file(REMOVE_RECURSE ${STAGE})
