# Where an installed Lorvane keeps its files, under CMAKE_INSTALL_PREFIX (and
# DESTDIR): the programs in bin/, the shipped data in share/lorvane/, which
# the program finds as ../share/lorvane from its own directory.
include(GNUInstallDirs)

# A program installed beside the editor in bin/ (the editor itself, and the
# small helper programs named lorvane-...): one line each,
#   lorvane_install_program(<target>)
function(lorvane_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
