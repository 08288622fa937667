# The program's commands, found by folder so a new file needs no edit; main apart.
file(GLOB TINDREL_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
list(REMOVE_ITEM TINDREL_APP_SOURCES ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
set(TINDREL_APP_MAIN ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
