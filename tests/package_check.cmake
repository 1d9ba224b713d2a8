# Makes the Debian package of the build with CPack and checks it as a technician's machine
# would take it: named vimbo_<VERSION>_<arch>.deb with that version, exactly the installed
# files under /usr, Depends naming Qt 6 and the C++ runtime, the unpacked programs finding
# every library they need outside the build, and the unpacked tool starting.
set(scratch "${BUILD_DIR}/package-check")
file(REMOVE_RECURSE "${scratch}")

function(run_or_fail what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

run_or_fail("cpack" "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${scratch}")
run_or_fail("dpkg --print-architecture" dpkg --print-architecture)
string(STRIP "${output}" arch)
set(deb "${scratch}/vimbo_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${scratch}/*.deb")
  message(FATAL_ERROR "no ${deb}; CPack made: ${made}")
endif()

function(expect_field name expected)
  run_or_fail("dpkg-deb -f ${name}" dpkg-deb -f "${deb}" ${name})
  string(STRIP "${output}" value)
  if(NOT value STREQUAL expected)
    message(FATAL_ERROR "${name}: \"${value}\", expected \"${expected}\"")
  endif()
endfunction()
expect_field(Package vimbo)
expect_field(Version "${VERSION}")
expect_field(Architecture "${arch}")

# What apt must bring in on a fresh machine for the window to open.
run_or_fail("dpkg-deb -f Depends" dpkg-deb -f "${deb}" Depends)
string(STRIP "${output}" depends)
message(STATUS "Depends: ${depends}")
foreach(package libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6
        qt6-qpa-plugins)
  string(FIND ", ${depends}," ", ${package}," bare)
  string(FIND ", ${depends}," ", ${package} (" versioned)
  if(bare EQUAL -1 AND versioned EQUAL -1)
    message(FATAL_ERROR "Depends lacks ${package}: ${depends}")
  endif()
endforeach()

# Exactly these files, the programs executable.
file(GLOB examples RELATIVE "${SOURCE_DIR}/examples" "${SOURCE_DIR}/examples/*_cmd.txt")
set(expected ./usr/bin/vimbo ./usr/bin/vimbo_sim ./usr/share/vimbo/vimbo_info.txt
    ./usr/share/applications/vimbo.desktop ./usr/share/icons/hicolor/32x32/apps/vimbo.png
    ./usr/share/doc/vimbo/copyright ./usr/share/doc/vimbo/CHANGELOG.md)
foreach(name ${examples})
  list(APPEND expected ./usr/share/vimbo/examples/${name})
endforeach()
list(SORT expected)
run_or_fail("dpkg-deb -c" dpkg-deb -c "${deb}")
string(REPLACE "\n" ";" entries "${output}")
set(files)
foreach(entry ${entries})
  if(entry MATCHES "^-([rwx-]+) root/root +[0-9]+ [^ ]+ [^ ]+ (.+)$")
    set(mode "${CMAKE_MATCH_1}")
    set(path "${CMAKE_MATCH_2}")
    list(APPEND files "${path}")
    if(path MATCHES "^\\./usr/bin/" AND NOT mode STREQUAL "rwxr-xr-x")
      message(FATAL_ERROR "not executable by all: ${entry}")
    endif()
  elseif(NOT entry MATCHES "^d[rwx-]+ root/root " AND NOT entry STREQUAL "")
    message(FATAL_ERROR "neither a root-owned file nor a folder: ${entry}")
  endif()
endforeach()
list(SORT files)
if(NOT files STREQUAL expected)
  message(FATAL_ERROR "package files:\n${files}\nexpected:\n${expected}")
endif()
message(STATUS "Files: ${files}")

# Unpacked as dpkg would (the contents are those the install check compares): the manual
# names the version, and each program's libraries are all found, none of them from the
# build or the source tree.
set(root "${scratch}/root")
run_or_fail("dpkg -x" dpkg -x "${deb}" "${root}")
file(STRINGS "${root}/usr/share/vimbo/vimbo_info.txt" title LIMIT_COUNT 1)
if(NOT title MATCHES "^VIMBO ${VERSION} - ")
  message(FATAL_ERROR "the packaged manual's title does not name ${VERSION}: ${title}")
endif()
foreach(program vimbo vimbo_sim)
  run_or_fail("ldd ${program}" ldd "${root}/usr/bin/${program}")
  if(output MATCHES "not found")
    message(FATAL_ERROR "${program} misses libraries:\n${output}")
  endif()
  foreach(tree "${BUILD_DIR}" "${SOURCE_DIR}")
    string(FIND "${output}" "=> ${tree}/" from_tree)
    if(NOT from_tree EQUAL -1)
      message(FATAL_ERROR "${program} loads libraries from ${tree}:\n${output}")
    endif()
  endforeach()
endforeach()
# The unpacked program comes up on the system's Qt in an empty folder and keeps running
# until it is stopped (timeout's 124), instead of ending on a missing library or plugin.
set(folder "${scratch}/folder")
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen
                        timeout 3 "${root}/usr/bin/vimbo"
                WORKING_DIRECTORY "${folder}" RESULT_VARIABLE result ERROR_VARIABLE err)
if(NOT result EQUAL 124)
  message(FATAL_ERROR "the unpacked vimbo ended (${result}) instead of running:\n${err}")
endif()
file(REMOVE_RECURSE "${scratch}")
