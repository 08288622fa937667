# The engine's layers as both builds see them: the desktop's top CMakeLists.txt and web/'s.
# Each layer lists its own sources (LAYER/sources.cmake); this file adds what both builds share.
get_filename_component(TINDREL_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
foreach(layer raster platform effects engine3d show tools app)
  include(${TINDREL_ROOT}/${layer}/sources.cmake)
endforeach()

# The show the program is built with, its show.toml, compiled into the show layer: a data folder
# made before shows had files plays it.
file(READ ${TINDREL_ROOT}/assets/show.toml TINDREL_SHIPPED_SHOW)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/show/ShippedShow.inc
     CONTENT "R\"tindrel-show(@TINDREL_SHIPPED_SHOW@)tindrel-show\"\n" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TINDREL_ROOT}/assets/show.toml)
set(TINDREL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

set(TINDREL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

# Headers of what the browser's show goes without: the desktop's libraries (SDL, X, inotify,
# cairo's text for the desktop panel, the PNG writer's deflaters), the music player (built into a
# module of its own) and AVX2, which WebAssembly has nothing like. A source that includes one is
# desktop-only. The SSE2 loops build for WebAssembly's SIMD through emscripten's SSE2 headers.
set(TINDREL_DESKTOP_HEADERS
  "SDL\\.h|X11/|sys/inotify\\.h|cairo\\.h|raster/CairoHandles\\.h|libdeflate\\.h|isa-l/|libopenmpt/|immintrin\\.h")
set(TINDREL_SSE2_HEADERS "emmintrin\\.h")

# Sets out to those of the sources given that include a header matching pattern (with
# matching true) or none (with matching false).
function(tindrel_sources_including out pattern matching)
  set(kept)
  foreach(source IN LISTS ARGN)
    file(STRINGS ${source} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${pattern})")
    if((hits AND matching) OR (NOT hits AND NOT matching))
      list(APPEND kept ${source})
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()
