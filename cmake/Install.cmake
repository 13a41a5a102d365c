# The installation: what `cmake --install` puts where, for any prefix; the
# Debian package (debian/) installs to /usr with the configuration under /etc.
#
#   bin/placarim                      launcher: sets PLACARIM_SYSCONFDIR, runs the program;
#                                     placarim --edit-exercises opens the teacher's own file
#   bin/placarim-check, bin/placarim-report   launchers of the teacher's tools
#   <libexecdir>/placarim/            the programs, and the Ilvra engine libplacarim-mbrola.so
#                                     beside them, where the voice looks for it
#   <sysconfdir>/placarim/FALDEK.INI  the configuration, naming the installed data
#   share/placarim/                   letras/, sons/, difones/, ilvra/, placarim.cnf
#   share/applications/placarim.desktop, share/metainfo/placarim.metainfo.xml
#   share/icons/hicolor/scalable/apps/placarim.svg and NxN/apps/placarim.png
#   share/man/man6/placarim.6, man1/placarim-check.1, man1/placarim-report.1,
#   and the same in Portuguese under share/man/pt_BR/
#
# The configuration directory is under the prefix unless GNUInstallDirs puts
# it outside (a full CMAKE_INSTALL_SYSCONFDIR, or the prefix /usr: /etc). Under
# the prefix, the launchers find it from their own location, so the installed
# tree may be moved or staged (DESTDIR) without editing it.

set(install_data_subdir ${CMAKE_INSTALL_DATADIR}/placarim)
set(install_libexec_subdir ${CMAKE_INSTALL_LIBEXECDIR}/placarim)
set(install_config_dir ${CMAKE_INSTALL_FULL_SYSCONFDIR}/placarim)
cmake_path(IS_PREFIX CMAKE_INSTALL_PREFIX "${install_config_dir}" NORMALIZE config_in_prefix)
if(config_in_prefix)
  file(RELATIVE_PATH install_config_subdir ${CMAKE_INSTALL_PREFIX} ${install_config_dir})
  set(install_config_code "\${prefix}/${install_config_subdir}")
  set(CONFIG_DIR "$prefix/${install_config_subdir}")
else()
  set(install_config_code "${install_config_dir}")
  set(CONFIG_DIR "${install_config_dir}")
endif()

# The program started without a launcher (and without PLACARIM_SYSCONFDIR)
# reads the installed configuration.
target_compile_definitions(placarim_platform PUBLIC PLACARIM_DEFAULT_SYSCONFDIR="${install_config_dir}")

# The programs, each with its launcher on the PATH.
file(RELATIVE_PATH BIN_TO_PREFIX /prefix/${CMAKE_INSTALL_BINDIR} /prefix)
set(DATA_DIR "$prefix/${install_data_subdir}")
set(LIBEXEC_DIR "$prefix/${install_libexec_subdir}")
foreach(PROGRAM IN ITEMS placarim placarim-check placarim-report)
  install(TARGETS ${PROGRAM} RUNTIME DESTINATION ${install_libexec_subdir})
  configure_file(${PROJECT_SOURCE_DIR}/data/placarim.sh.in ${CMAKE_BINARY_DIR}/launcher/${PROGRAM}.sh @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/${PROGRAM}.sh DESTINATION ${CMAKE_INSTALL_BINDIR}
          RENAME ${PROGRAM})
endforeach()
install(TARGETS placarim-mbrola LIBRARY DESTINATION ${install_libexec_subdir})
# The build tree keeps the engine beside the program too, so the program
# finds it there by the same rule and holds no path of the build machine.
get_target_property(program_dir placarim BINARY_DIR)
set_target_properties(placarim-mbrola PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${program_dir})

# The data the build makes lives in the build's data tree beside files that
# are not installed, so only the data itself is named.
set(data_dir ${CMAKE_BINARY_DIR}/data)
install(DIRECTORY ${data_dir}/letras ${data_dir}/sons ${data_dir}/difones ${data_dir}/ilvra
        DESTINATION ${install_data_subdir} OPTIONAL
        PATTERN "*.part" EXCLUDE)
install(FILES ${data_dir}/placarim.cnf DESTINATION ${install_data_subdir})

# --- the desktop ------------------------------------------------------------

set(desktop_source ${PROJECT_SOURCE_DIR}/data/desktop)
install(FILES ${desktop_source}/placarim.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Drawn from the scalable icon at the sizes desktops ask for, when
# rsvg-convert is there (the package always has it).
find_program(PLACARIM_RSVG_CONVERT rsvg-convert)
if(PLACARIM_RSVG_CONVERT)
  set(icons)
  foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
    set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/placarim.png)
    add_custom_command(OUTPUT ${icon}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${PLACARIM_RSVG_CONVERT} --width ${size} --height ${size} --output ${icon}
              ${desktop_source}/placarim.svg
      DEPENDS ${desktop_source}/placarim.svg)
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    list(APPEND icons ${icon})
  endforeach()
  add_custom_target(placarim_icons ALL DEPENDS ${icons})
endif()

# The software centres' entry. The screenshots are published with the home page.
# The AppStream id and the home page are placeholders (a reserved domain)
# until the project has a home of its own.
set(PLACARIM_HOMEPAGE "https://placarim.example" CACHE STRING "The project's home page, named in the AppStream entry")
configure_file(${desktop_source}/placarim.metainfo.xml.in ${CMAKE_BINARY_DIR}/desktop/placarim.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/placarim.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages, in English and Portuguese.
foreach(language IN ITEMS "" pt_BR)
  set(pages ${PROJECT_SOURCE_DIR}/data/man/${language})
  install(FILES ${pages}/placarim.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}/man6)
  install(FILES ${pages}/placarim-check.1 ${pages}/placarim-report.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}/man1)
endforeach()

# The configuration and the desktop entry name absolute paths, so they are
# written at install time, when the prefix (cmake --install --prefix) is known.
if(PLACARIM_EXTERNAL_VOICE)
  set(use_external_voice Sim)
else()
  set(use_external_voice Nao)
endif()
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(stage \"\$ENV{DESTDIR}\")
  set(config_dir \"${install_config_code}\")
  set(PGMFALDEK \"\${prefix}/${install_data_subdir}\")
  set(LETTERS_DIR \"\${PGMFALDEK}/letras/\")
  set(DIPHONE_DIR \"\${PGMFALDEK}/difones/\")
  set(ILVRA_DIR \"\${PGMFALDEK}/ilvra/\")
  set(USE_EXTERNAL_VOICE \"${use_external_voice}\")
  set(EXTERNAL_VOICE_TYPE \"${PLACARIM_EXTERNAL_VOICE_TYPE}\")
  include(\"${desktop_source}/desktop_exec.cmake\")
  placarim_desktop_exec(WRAPPER \"\${prefix}/${CMAKE_INSTALL_BINDIR}/placarim\")
  message(STATUS \"Writing: \${stage}\${config_dir}/FALDEK.INI\")
  configure_file(\"${PROJECT_SOURCE_DIR}/data/FALDEK.INI.in\" \"\${stage}\${config_dir}/FALDEK.INI\" @ONLY)
  message(STATUS \"Writing: \${stage}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/placarim.desktop\")
  configure_file(\"${desktop_source}/placarim.desktop.in\"
                 \"\${stage}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/placarim.desktop\" @ONLY)
")

# The Debian package built, installed, played and purged as a user would
# (run alone: it compiles the whole program and installs system-wide). Left
# out of the sanitizer build and of the package's own build.
option(PLACARIM_PACKAGE_TEST "Test the Debian package (needs root or sudo)" ON)
if(BUILD_TESTING AND PLACARIM_PACKAGE_TEST AND NOT PLACARIM_SANITIZE)
  add_test(NAME debian_package_test
           COMMAND ${PROJECT_SOURCE_DIR}/tests/package/debian_package_test.sh ${PROJECT_SOURCE_DIR})
  set_tests_properties(debian_package_test PROPERTIES LABELS package TIMEOUT 5400 RUN_SERIAL ON
                       SKIP_RETURN_CODE 77)
endif()
