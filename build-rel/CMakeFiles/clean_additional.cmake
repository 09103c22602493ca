# Additional clean files
cmake_minimum_required(VERSION 3.16)

if("${CONFIG}" STREQUAL "" OR "${CONFIG}" STREQUAL "Release")
  file(REMOVE_RECURSE
  "bench/CMakeFiles/bench_data_access_autogen.dir/AutogenUsed.txt"
  "bench/CMakeFiles/bench_data_access_autogen.dir/ParseCache.txt"
  "bench/bench_data_access_autogen"
  "framework/CMakeFiles/framework_autogen.dir/AutogenUsed.txt"
  "framework/CMakeFiles/framework_autogen.dir/ParseCache.txt"
  "framework/framework_autogen"
  )
endif()
