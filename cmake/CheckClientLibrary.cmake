# The program calls the client library directly (ping, streamed reads) on the handle that
# Qt's MySQL driver opened, so both must be the same library: two copies in one process
# would each keep their own state. Compared by the shared library's file name (soname).
# The program's library is the one libmariadb's pkg-config file names (MARIADB_LINK_LIBRARIES).
find_file(VELDRA_QMYSQL_PLUGIN NAMES libqsqlmysql.so
          PATHS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/sqldrivers" NO_DEFAULT_PATH)
set(_veldra_plugin "${VELDRA_QMYSQL_PLUGIN}")
find_program(VELDRA_LDD ldd)
set(_veldra_client ${MARIADB_LINK_LIBRARIES})
list(FILTER _veldra_client INCLUDE REGEX "(mariadb|mysqlclient)[^/]*$")
if(_veldra_plugin AND EXISTS "${_veldra_plugin}" AND VELDRA_LDD AND _veldra_client)
  list(GET _veldra_client 0 _veldra_client)
  execute_process(COMMAND ${VELDRA_LDD} ${_veldra_plugin} OUTPUT_VARIABLE _veldra_deps)
  string(REGEX MATCH "lib(mariadb|mysqlclient)[^ \t\n]*\\.so[.0-9]*" _veldra_driver_client "${_veldra_deps}")
  file(REAL_PATH "${_veldra_client}" _veldra_linked)
  execute_process(COMMAND objdump -p ${_veldra_linked} OUTPUT_VARIABLE _veldra_dump ERROR_QUIET)
  string(REGEX MATCH "SONAME +([^\n]+)" _veldra_soname_line "${_veldra_dump}")
  set(_veldra_soname "${CMAKE_MATCH_1}")
  if(_veldra_driver_client AND _veldra_soname AND NOT _veldra_driver_client STREQUAL _veldra_soname)
    message(FATAL_ERROR "Qt's MySQL driver uses ${_veldra_driver_client}, but the program would link "
                        "${_veldra_client} (${_veldra_soname}): put the folder of the libmariadb.pc that names the "
                        "driver's library first in PKG_CONFIG_PATH.")
  endif()
  message(STATUS "Client library shared with Qt's MySQL driver: ${_veldra_driver_client}")
else()
  message(STATUS "Could not check which client library Qt's MySQL driver uses")
endif()
