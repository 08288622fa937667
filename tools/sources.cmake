# The asset generator's library, found by folder so a new file needs no edit; its command's
# main apart.
file(GLOB TINDREL_TOOLS_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
list(REMOVE_ITEM TINDREL_TOOLS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/assetgen.cpp)
set(TINDREL_ASSETGEN_MAIN ${CMAKE_CURRENT_LIST_DIR}/assetgen.cpp)
