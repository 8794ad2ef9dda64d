# Debian packages with `cpack -G DEB` (scripts/package.sh builds them the way
# a Debian build does, with dpkg-buildflags):
#   zelkvelq          the editor, q7mctl, q7msim, help text, man pages
#   libq7mslib1       the unit link library (libq7mslib.so.1)
#   libq7mslib-dev    its header and the libq7mslib.so link
# Install components: "programs" (the default), "lib" and "dev".

set(Q7M_PACKAGE_CONTACT "ZELK Q7M support <q7m-support@zelk.example>" CACHE STRING
    "Maintainer named in the Debian packages")
set(Q7M_DEB_SOURCE zelk-q7m)
set(Q7M_DEB_VERSION ${PROJECT_VERSION})

# Man pages, compressed as Debian installs them.
set(Q7M_MAN_PAGES q7mctl q7msim zelkvelq)
set(man_outputs "")
foreach(page ${Q7M_MAN_PAGES})
  set(in ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
  set(out ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9nc ${in} > ${out}
    DEPENDS ${in} VERBATIM)
  list(APPEND man_outputs ${out})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)

# The metrics for node_exporter's textfile collector, every minute once
# the timer is enabled (it is not by default).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/q7m-metrics.service ${PROJECT_SOURCE_DIR}/packaging/q7m-metrics.timer
        DESTINATION lib/systemd/system COMPONENT programs)

# Each package's copyright and changelog in /usr/share/doc/<package>.
set(CPACK_PACKAGE_CONTACT "${Q7M_PACKAGE_CONTACT}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
foreach(pair "programs;zelkvelq" "lib;libq7mslib1" "dev;libq7mslib-dev")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelk-q7m)
set(CPACK_PACKAGE_VENDOR ZELK)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_COMPONENTS_ALL programs lib dev)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libq7mslib.so.1 comes from this build, not from an installed package: the
# dependency on it is the component dependency below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME zelkvelq)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION electronics)
# Without the platform plugins the editor's window cannot start.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS qt6-qpa-plugins)
# q7m-metrics.service writes for its textfile collector and runs as its user.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SUGGESTS prometheus-node-exporter)
# Qt's own texts (message box buttons, file dialogs) in the editor's languages.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_COMPONENT_PROGRAMS_DEPENDS lib)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION
"editor and tools for ZELK Q7M cinema sound processors
ZELKVELQ (ZELK Cinema Processor and EQ Software) configures and aligns a
ZELK Q7M cinema sound processor over an RS-232 line: formats, fader,
output trims, equalisers, OBE, options and configuration files.
.
Also included: q7mctl, a command-line client for technicians and scripts,
and q7msim, a simulated unit on a pseudo-terminal for trying things out.
.
Opening a serial port needs membership of the dialout group: add each
user of the programs to it (sudo usermod -aG dialout NAME) and have them
log in again before the first use.")

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libq7mslib1)
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
# A shlibs control file (for the packages of any program that links the
# library) and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_COMPONENT_LIB_DESCRIPTION
"ZELK Q7M unit link library
Q7MSLib owns the serial port and speaks the text and framed protocol of a
ZELK Q7M cinema sound processor, behind 29 C entry points.  The editor
ZELKVELQ and q7mctl use it.
.
Opening a serial port needs membership of the dialout group.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libq7mslib-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DEPENDS lib)
set(CPACK_COMPONENT_DEV_DESCRIPTION
"ZELK Q7M unit link library (development files)
The header q7mslib.h and the libq7mslib.so link, for programs that call
the 29 entry points of Q7MSLib directly.")

include(CPack)
