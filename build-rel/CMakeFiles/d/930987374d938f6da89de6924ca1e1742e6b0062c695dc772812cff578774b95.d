bench/bench_data_access_autogen/timestamp: \
  /usr/lib/x86_64-linux-gnu/cmake/benchmark/benchmarkConfig.cmake \
  /usr/lib/x86_64-linux-gnu/cmake/benchmark/benchmarkConfigVersion.cmake \
  /usr/lib/x86_64-linux-gnu/cmake/benchmark/benchmarkTargets-none.cmake \
  /usr/lib/x86_64-linux-gnu/cmake/benchmark/benchmarkTargets.cmake \
  /usr/share/cmake-3.25/Modules/CMakeFindDependencyMacro.cmake \
  /usr/share/cmake-3.25/Modules/CheckCXXSourceCompiles.cmake \
  /usr/share/cmake-3.25/Modules/CheckIncludeFileCXX.cmake \
  /usr/share/cmake-3.25/Modules/CheckLibraryExists.cmake \
  /usr/share/cmake-3.25/Modules/FindPackageHandleStandardArgs.cmake \
  /usr/share/cmake-3.25/Modules/FindPackageMessage.cmake \
  /usr/share/cmake-3.25/Modules/FindThreads.cmake \
  /work/wt-data/bench/CMakeLists.txt \
  /work/wt-data/bench/data_access.cpp \
  /usr/bin/cmake
