# The desktop conveniences of the viewer (row copy, file drop), a library of
# their own so their tests need not build the dialog. Included by whichever of
# shell/ and tests/desktop/ comes first.
if(NOT TARGET treskdesktop)
  add_library(treskdesktop STATIC
    ${CMAKE_CURRENT_LIST_DIR}/row_clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_drop_target.cpp)
  target_include_directories(treskdesktop PUBLIC ${PROJECT_SOURCE_DIR})
  target_include_directories(treskdesktop SYSTEM PUBLIC ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(treskdesktop PUBLIC ${wxWidgets_DEFINITIONS})
  target_compile_options(treskdesktop PUBLIC ${wxWidgets_CXX_FLAGS})
  target_link_libraries(treskdesktop PUBLIC treskcore ${wxWidgets_LIBRARIES})
  tresk_warnings(treskdesktop)
endif()
