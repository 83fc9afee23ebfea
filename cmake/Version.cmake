# The one version, project(VERSION): the package carries it as it is (1.4.0.2); the programs
# print it as 1.04.0002 (major, minor in two digits, build in four) and the window's title
# shows it as Ver.1.42. Everything that names the version is generated from here.
function(qpv_zero_pad out value width)
    string(LENGTH "${value}" length)
    math(EXPR missing "${width} - ${length}")
    string(REPEAT "0" ${missing} zeros)
    set(${out} "${zeros}${value}" PARENT_SCOPE)
endfunction()
qpv_zero_pad(qpv_minor "${PROJECT_VERSION_MINOR}" 2)
qpv_zero_pad(qpv_build "${PROJECT_VERSION_TWEAK}" 4)
set(QPV_VERSION "${PROJECT_VERSION_MAJOR}.${qpv_minor}.${qpv_build}")
set(QPV_TITLE_VERSION "Ver.${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}${PROJECT_VERSION_TWEAK}")
set(QPV_RELEASE_DATE 2026-12-06)
set(QPV_RELEASE_MONTH "December 2026")

# The application's id: the desktop entry, icon and metainfo are named after it, and the panel
# gives it to the window system.
set(qpv_app_id org.omta.QPV7100Control)

set(qpv_generated ${CMAKE_BINARY_DIR}/generated)
configure_file(cmake/version.h.in ${qpv_generated}/version.h @ONLY)
add_library(qpv_version INTERFACE)
target_include_directories(qpv_version INTERFACE ${qpv_generated})
