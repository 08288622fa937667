# The show layer's sources, its scenes included, found by folder so a new file needs no edit.
# Read by the desktop build and by web/.
file(GLOB TINDREL_SHOW_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp ${CMAKE_CURRENT_LIST_DIR}/scenes/*.cpp)
