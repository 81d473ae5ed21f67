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
foreach(path bin/lorvane bin/lorvane-nasm bin/lorvane-dosbox bin/lorvane-bcc
             share/lorvane/toolchains/nasm-dos-com.ust share/lorvane/toolchains/bcc-dos-com.ust share/applications/org.lorvane.Lorvane.desktop
             share/metainfo/org.lorvane.Lorvane.metainfo.xml share/man/man1/lorvane.1.gz
             share/man/ru/man1/lorvane.1.gz share/icons/hicolor/scalable/apps/lorvane.svg
             share/icons/hicolor/16x16/apps/lorvane.png share/icons/hicolor/256x256/apps/lorvane.png)
  if(NOT EXISTS ${root}/${path})
    list(APPEND missing ${path})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()

foreach(check
    "${DESKTOP_VALIDATE};${root}/share/applications/org.lorvane.Lorvane.desktop"
    "${APPSTREAM};validate;--no-net;${root}/share/metainfo/org.lorvane.Lorvane.metainfo.xml")
  execute_process(COMMAND ${check} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${check}:\n${out}")
  endif()
endforeach()

# The installed program answers without a display and without creating
# its settings; an unknown option is an error that says how to open a file
# of that name.
set(config ${STAGE}/config)
foreach(case "--version;0;Lorvane ${VERSION}\n" "--help;0;Использование: lorvane"
             "--x;2;lorvane -- --x")
  list(GET case 0 word)
  list(GET case 1 code)
  list(GET case 2 expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          --unset=QT_QPA_PLATFORM LORVANE_CONFIG_HOME=${config}
                          XDG_RUNTIME_DIR=${config} ${root}/bin/lorvane ${word}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(FIND "${out}" "${expected}" found)
  if(NOT result EQUAL code OR found EQUAL -1 OR EXISTS ${config})
    message(FATAL_ERROR "lorvane ${word}: ${result}: ${out}")
  endif()
endforeach()
file(REMOVE_RECURSE ${STAGE})
