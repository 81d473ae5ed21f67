# Qt-free platform services: paths, atomic writes, registry, profile files,
# processes.
target_sources(lorvane_platform_base PRIVATE
  Paths.h Paths.cpp
  AtomicFile.h AtomicFile.cpp
  KeptFile.h KeptFile.cpp
  Registry.h Registry.cpp
  ProfileFile.h ProfileFile.cpp
  Process.h Process.cpp
  ProcessOutput.h ProcessOutput.cpp
)
