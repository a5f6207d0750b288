# Installing and packaging: both commands (bin/) with a man page each made
# from their --help, and the model package (installed by package/). CPack
# turns the same set into a Debian package: cpack -G DEB in the build folder.
include(GNUInstallDirs)

# korvan_man_page(<command target> <one-line summary> [EXTRA <roff file>])
function(korvan_man_page target summary)
  cmake_parse_arguments(ARG "" "EXTRA" "" ${ARGN})
  set(page ${PROJECT_BINARY_DIR}/man/${target}.1)
  set(extra_args "")
  if(ARG_EXTRA)
    set(extra_args -DEXTRA=${ARG_EXTRA})
  endif()
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DCOMMAND=$<TARGET_FILE:${target}> -DNAME=${target} "-DSUMMARY=${summary}"
            -DVERSION=${PROJECT_VERSION} ${extra_args} -DOUTPUT=${page}
            -P ${PROJECT_SOURCE_DIR}/cmake/ManPageFromHelp.cmake
    DEPENDS ${target} ${PROJECT_SOURCE_DIR}/cmake/ManPageFromHelp.cmake ${ARG_EXTRA}
    COMMENT "Writing the man page of ${target}"
    VERBATIM)
  add_custom_target(${target}_man ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

if(TARGET ibischeck)
  korvan_man_page(ibischeck "checks IBIS .ibs, .pkg, .ebd and .ami files"
    EXTRA ${PROJECT_SOURCE_DIR}/tools/ibischeck/ibischeck.1.extra)
endif()
if(TARGET amisim)
  korvan_man_page(amisim "drives an IBIS-AMI model the way a channel simulator does")
endif()

set(CPACK_PACKAGE_NAME korvan)
set(CPACK_PACKAGE_VENDOR "the korvan authors")
set(CPACK_PACKAGE_CONTACT "the korvan authors <korvan@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "IBIS-AMI transmitter model, IBIS file checker and AMI model driver")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The C++ runtime and libc the commands and the model library link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
