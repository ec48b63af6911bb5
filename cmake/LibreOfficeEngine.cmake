# The LibreOffice engine is built when LibreOffice's SDK is installed
# (Debian: libreoffice-dev). Its C++ types are generated once, in the build
# tree, from the installation's type libraries; the program then finds the
# UNO libraries through an rpath to the installation's program folder.
# Without the SDK the engine is left out and the program says so when it is
# asked for.

option(LUMETRA_WITH_LIBREOFFICE "Build the LibreOffice engine when LibreOffice's SDK is installed" ON)
set(LUMETRA_LIBREOFFICE_HOME /usr/lib/libreoffice CACHE PATH "LibreOffice installation with its SDK")

set(LUMETRA_HAVE_LIBREOFFICE OFF)
if(LUMETRA_WITH_LIBREOFFICE)
  set(_lo ${LUMETRA_LIBREOFFICE_HOME})
  find_program(LUMETRA_CPPUMAKER cppumaker PATHS ${_lo}/sdk/bin NO_DEFAULT_PATH)
  if(LUMETRA_CPPUMAKER AND EXISTS ${_lo}/sdk/include/sal/types.h AND EXISTS ${_lo}/program/types.rdb
     AND EXISTS ${_lo}/program/types/offapi.rdb AND EXISTS ${_lo}/sdk/lib/libuno_cppu.so)
    set(LUMETRA_HAVE_LIBREOFFICE ON)
  endif()
endif()

if(LUMETRA_HAVE_LIBREOFFICE)
  message(STATUS "LibreOffice engine: built (${_lo})")
  set(LUMETRA_UNO_TYPES ${CMAKE_BINARY_DIR}/uno-types)
  add_custom_command(
    OUTPUT ${LUMETRA_UNO_TYPES}/stamp
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${LUMETRA_UNO_TYPES}/com
    COMMAND ${LUMETRA_CPPUMAKER} -Gc -O${LUMETRA_UNO_TYPES} ${_lo}/program/types.rdb ${_lo}/program/types/offapi.rdb
    COMMAND ${CMAKE_COMMAND} -E touch ${LUMETRA_UNO_TYPES}/stamp
    DEPENDS ${_lo}/program/types.rdb ${_lo}/program/types/offapi.rdb
    COMMENT "Generating LibreOffice's C++ types")
  add_custom_target(uno_types DEPENDS ${LUMETRA_UNO_TYPES}/stamp)

  # The UNO libraries live in the installation's program folder, not on the
  # linker's path: every program of ours that may start the engine finds
  # them there.
  list(APPEND CMAKE_BUILD_RPATH ${_lo}/program)
  list(APPEND CMAKE_INSTALL_RPATH ${_lo}/program)

  file(GLOB LUMETRA_LIBREOFFICE_SOURCES CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/automation/libreoffice/*.cpp ${CMAKE_SOURCE_DIR}/src/automation/libreoffice/*.h)
  # The SDK's headers and definitions are kept to the engine's own sources.
  set_source_files_properties(${LUMETRA_LIBREOFFICE_SOURCES} PROPERTIES
      INCLUDE_DIRECTORIES "${_lo}/sdk/include;${LUMETRA_UNO_TYPES}"
      COMPILE_DEFINITIONS "LINUX;UNX;CPPU_ENV=gcc3;LUMETRA_LIBREOFFICE_PROGRAM=\"${_lo}/program\"")
  set(LUMETRA_UNO_LIBRARIES ${_lo}/sdk/lib/libuno_cppuhelpergcc3.so ${_lo}/sdk/lib/libuno_cppu.so
      ${_lo}/sdk/lib/libuno_salhelpergcc3.so ${_lo}/sdk/lib/libuno_sal.so)
else()
  message(STATUS "LibreOffice engine: left out (no LibreOffice SDK; install libreoffice-dev)")
  set(LUMETRA_LIBREOFFICE_SOURCES)
endif()

# Adds the engine to the program's library, when it is built.
function(lumetra_add_libreoffice_engine target)
  if(LUMETRA_HAVE_LIBREOFFICE)
    target_sources(${target} PRIVATE ${LUMETRA_LIBREOFFICE_SOURCES})
    target_link_libraries(${target} PUBLIC ${LUMETRA_UNO_LIBRARIES})
    target_compile_definitions(${target} PUBLIC LUMETRA_HAVE_LIBREOFFICE)
    add_dependencies(${target} uno_types)
  endif()
endfunction()

# Lets a test program reach LibreOffice's own objects behind the engine.
function(lumetra_use_uno target)
  if(LUMETRA_HAVE_LIBREOFFICE)
    target_include_directories(${target} PRIVATE ${LUMETRA_LIBREOFFICE_HOME}/sdk/include ${LUMETRA_UNO_TYPES})
    target_compile_definitions(${target} PRIVATE LINUX UNX CPPU_ENV=gcc3)
  endif()
endfunction()
