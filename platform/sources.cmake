# The platform layer's sources, found by folder so a new file needs no edit. Read by the desktop
# build and by web/.
file(GLOB TINDREL_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
