# The release zip (make dist): from the 32-bit product build only. Included
# by the top CMakeLists, so build/dist holds the zip and nothing else.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_custom_target(dist
    COMMAND python3 -B ${CMAKE_CURRENT_LIST_DIR}/make_dist.py
      --bin $<TARGET_FILE_DIR:Tarnwick> --version ${PROJECT_VERSION} --out ${CMAKE_BINARY_DIR}/dist
    VERBATIM)
  add_dependencies(dist Tarnwick PortCheck)
endif()
