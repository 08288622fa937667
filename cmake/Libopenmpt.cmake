# libopenmpt built from its unpacked source package (./scripts/libopenmpt-source fetches Debian's),
# as the library's own build makes it, without the optional decoders: for the web build, and for
# the fuzz build, whose module target then sees inside the player with the sanitizers on.
function(tindrel_libopenmpt target source)
  if(NOT EXISTS "${source}/libopenmpt/libopenmpt.hpp")
    message(FATAL_ERROR "${source} is not libopenmpt's source (./scripts/libopenmpt-source DIR fetches it)")
  endif()
  file(GLOB sources
    ${source}/common/*.cpp
    ${source}/soundlib/*.cpp
    ${source}/soundlib/plugins/*.cpp
    ${source}/soundlib/plugins/dmo/*.cpp
    ${source}/sounddsp/*.cpp)
  list(APPEND sources
    ${source}/libopenmpt/libopenmpt_cxx.cpp
    ${source}/libopenmpt/libopenmpt_impl.cpp
    ${source}/libopenmpt/libopenmpt_ext_impl.cpp)
  add_library(${target} STATIC ${sources})
  target_compile_definitions(${target} PRIVATE LIBOPENMPT_BUILD)
  # Its own warnings are its authors' business; ours are not raised on its code.
  target_compile_options(${target} PRIVATE -w)
  target_include_directories(${target}
    PRIVATE ${source} ${source}/src ${source}/common ${source}/build/svn_version
    INTERFACE ${source})
endfunction()
