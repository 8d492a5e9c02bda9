# The Windows program: a GUI program without a console window, with its icon,
# version information and manifest in the .exe's resources. The installer is
# made by packaging/windows/tarvo.nsi (scripts/windows.sh runs makensis).
if(NOT TARGET tarvo)
  return()
endif()

# The icon file is drawn by a program built for the build machine (see
# resources/MakeIconPngs.cpp), which a cross build cannot run itself.
set(TARVO_WINDOWS_ICON "" CACHE FILEPATH "tarvo.ico made from the drawn icon")
if(NOT EXISTS "${TARVO_WINDOWS_ICON}")
  message(FATAL_ERROR "TARVO_WINDOWS_ICON must name tarvo.ico (scripts/windows.sh makes it)")
endif()
configure_file(${TARVO_WINDOWS_ICON} ${CMAKE_BINARY_DIR}/windows/tarvo.ico COPYONLY)

enable_language(RC)
set(TARVO_RC ${PROJECT_SOURCE_DIR}/resources/windows/tarvo.rc)
target_sources(tarvo PRIVATE ${TARVO_RC})
# The version, for the resource compiler (whose command line loses quotes).
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/windows/TarvoVersion.h CONTENT
"#define TARVO_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}
#define TARVO_VERSION_MINOR ${PROJECT_VERSION_MINOR}
#define TARVO_VERSION_TEXT \"${PROJECT_VERSION}\"
")
set_source_files_properties(${TARVO_RC} PROPERTIES
  INCLUDE_DIRECTORIES "${CMAKE_BINARY_DIR}/windows"
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/windows/tarvo.ico;${CMAKE_BINARY_DIR}/windows/TarvoVersion.h")
set_target_properties(tarvo PROPERTIES WIN32_EXECUTABLE ON)

install(TARGETS tarvo RUNTIME DESTINATION .)

# The dialogs' layout check for the tests under Wine (tests/windows/wine.sh),
# a console program with the same manifest, so it sees the screen's density
# as the program does.
add_executable(tarvo_layout_check EXCLUDE_FROM_ALL
               ${PROJECT_SOURCE_DIR}/tests/windows/layout_check.cpp ${TARVO_RC})
target_include_directories(tarvo_layout_check PRIVATE ${PROJECT_SOURCE_DIR}/tests/ui)
target_link_libraries(tarvo_layout_check PRIVATE tarvo_ui)
tarvo_warnings(tarvo_layout_check)
