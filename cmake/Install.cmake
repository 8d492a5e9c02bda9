# Installation as a desktop program: the executable, its menu entry and its
# icon in the hicolor theme sizes, plus a Debian package made by CPack.
if(NOT TARGET tarvo)
  return()
endif()

include(GNUInstallDirs)

# The PNG icons are drawn at build time by the same code that draws the
# window's icon, so the two cannot drift apart.
set(TARVO_ICON_SIZES 16 24 32 48 64 128 256)
set(TARVO_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
add_executable(tarvo_icon_pngs ${PROJECT_SOURCE_DIR}/resources/MakeIconPngs.cpp)
target_link_libraries(tarvo_icon_pngs PRIVATE tarvo_ui)
tarvo_warnings(tarvo_icon_pngs)
set(TARVO_ICON_PNGS)
foreach(size ${TARVO_ICON_SIZES})
  list(APPEND TARVO_ICON_PNGS ${TARVO_ICON_DIR}/${size}x${size}/apps/tarvo.png)
endforeach()
# The tool is a sanitised program too in the sanitiser build; the toolkit's
# libraries keep allocations to exit, which are not this program's leaks.
add_custom_command(OUTPUT ${TARVO_ICON_PNGS}
                   COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                           $<TARGET_FILE:tarvo_icon_pngs> ${TARVO_ICON_DIR} ${TARVO_ICON_SIZES}
                   DEPENDS tarvo_icon_pngs
                   COMMENT "Drawing the icon as PNG files"
                   VERBATIM)
add_custom_target(tarvo_icons ALL DEPENDS ${TARVO_ICON_PNGS})

# Hardening as Debian builds its packages: fortified string and memory
# functions (they need optimisation, so not in Debug builds), stack
# protection, read-only relocations bound at start. Debian's compiler makes
# position-independent executables by itself. The sanitiser build keeps its
# own instrumentation only.
if(NOT TARVO_SANITIZE)
  foreach(target tarvo_geometry tarvo_resources tarvo_app_core tarvo_render tarvo_ui tarvo)
    target_compile_options(${target} PRIVATE -fstack-protector-strong
                           $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  endforeach()
  target_link_options(tarvo PRIVATE LINKER:-z,relro,-z,now)
endif()

# The manual page and the package's changelog go compressed, as Debian
# keeps them; -n leaves the time out so that rebuilds give the same bytes.
set(TARVO_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
add_custom_command(OUTPUT ${TARVO_PACKAGE_DIR}/tarvo.1.gz ${TARVO_PACKAGE_DIR}/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVO_PACKAGE_DIR}
                   COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/tarvo.1 > ${TARVO_PACKAGE_DIR}/tarvo.1.gz
                   COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/debian/changelog > ${TARVO_PACKAGE_DIR}/changelog.gz
                   DEPENDS ${PROJECT_SOURCE_DIR}/resources/tarvo.1 ${PROJECT_SOURCE_DIR}/resources/debian/changelog
                   COMMENT "Compressing the manual page and the changelog")
add_custom_target(tarvo_package_docs ALL
                  DEPENDS ${TARVO_PACKAGE_DIR}/tarvo.1.gz ${TARVO_PACKAGE_DIR}/changelog.gz)

install(TARGETS tarvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The compiler's version notes are of no use in the installed program.
install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
                              \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarvo)")
install(FILES ${TARVO_PACKAGE_DIR}/tarvo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${TARVO_PACKAGE_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tarvo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The catalogues the program carries, also where the desktop's tools look
# for them.
foreach(language ${TARVO_LANGUAGES})
  install(FILES ${TARVO_CATALOGUE_DIR}/${language}.mo
          DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES RENAME tarvo.mo)
endforeach()
foreach(size ${TARVO_ICON_SIZES})
  install(FILES ${TARVO_ICON_DIR}/${size}x${size}/apps/tarvo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarvo maintainers")
set(CPACK_PACKAGE_CONTACT "Tarvo maintainers <maintainers@users.noreply.c-seed-439c4dff.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for one-sided surfaces in three and four dimensions")
# Debian wants the long description wrapped; CPack indents each line.
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvo shows a Möbius strip made of six ribbons, the bottle surface that\n\
passes through its own wall, and the same bottle placed in four dimensions,\n\
where it no longer meets itself. The figure is turned in three and in four\n\
dimensions with the mouse and drawn with lit, flat-shaded OpenGL.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; what is only loaded at run time is
# named here: the Mesa drivers behind libGL, the font for the Japanese texts
# and the loader GTK needs for the theme's SVG icons in the dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, fonts-ipafont-gothic, librsvg2-common")
include(CPack)
