# Installs the build into a scratch prefix and checks that the manual lands in share/vimbo/
# beside the program's bin/ folder, byte for byte: "Read Infos" looks for it there.
set(prefix "${BUILD_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "install failed: ${result}")
endif()
if(NOT EXISTS "${prefix}/bin/vimbo")
  message(FATAL_ERROR "no bin/vimbo in the installed tree")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SOURCE}"
                        "${prefix}/share/vimbo/vimbo_info.txt" RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "share/vimbo/vimbo_info.txt is missing or differs from ${SOURCE}")
endif()
file(REMOVE_RECURSE "${prefix}")
