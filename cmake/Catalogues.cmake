# The translations, as desktop programs carry them: a template made from the
# table of texts by xgettext (every string literal of resources/Strings.h is
# a message id), one catalogue a language in resources/po compiled by
# msgfmt, and the compiled catalogues built into the program as data, so
# the single Windows program and the Linux one carry them. A further
# language is one more .po file.
find_program(TARVO_XGETTEXT xgettext)
find_program(TARVO_MSGFMT msgfmt)
if(NOT TARVO_XGETTEXT OR NOT TARVO_MSGFMT)
  message(FATAL_ERROR "xgettext and msgfmt not found: install Debian's gettext package")
endif()

set(TARVO_PO_DIR ${PROJECT_SOURCE_DIR}/resources/po)
set(TARVO_CATALOGUE_DIR ${CMAKE_BINARY_DIR}/po)
set(TARVO_POT ${TARVO_CATALOGUE_DIR}/tarvo.pot)
file(GLOB TARVO_PO_FILES CONFIGURE_DEPENDS ${TARVO_PO_DIR}/*.po)

add_custom_command(OUTPUT ${TARVO_POT}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVO_CATALOGUE_DIR}
                   COMMAND ${TARVO_XGETTEXT} --language=C++ --from-code=UTF-8 --extract-all
                           --add-comments --package-name=Tarvo
                           --package-version=${PROJECT_VERSION} --output=${TARVO_POT}
                           resources/Strings.h
                   WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                   DEPENDS ${PROJECT_SOURCE_DIR}/resources/Strings.h
                   COMMENT "Extracting the message template from the table of texts"
                   VERBATIM)

set(TARVO_LANGUAGES)
set(TARVO_MO_FILES)
foreach(po ${TARVO_PO_FILES})
  get_filename_component(language ${po} NAME_WE)
  set(mo ${TARVO_CATALOGUE_DIR}/${language}.mo)
  add_custom_command(OUTPUT ${mo}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVO_CATALOGUE_DIR}
                     COMMAND ${TARVO_MSGFMT} --check --output-file=${mo} ${po}
                     DEPENDS ${po}
                     COMMENT "Compiling the ${language} catalogue"
                     VERBATIM)
  list(APPEND TARVO_LANGUAGES ${language})
  list(APPEND TARVO_MO_FILES ${mo})
endforeach()

set(TARVO_EMBEDDED_CATALOGUES ${CMAKE_BINARY_DIR}/generated/EmbeddedCatalogues.cpp)
add_custom_command(OUTPUT ${TARVO_EMBEDDED_CATALOGUES}
                   COMMAND ${CMAKE_COMMAND} "-DLANGUAGES=${TARVO_LANGUAGES}"
                           -DCATALOGUE_DIR=${TARVO_CATALOGUE_DIR}
                           -DOUTPUT=${TARVO_EMBEDDED_CATALOGUES}
                           -P ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalogues.cmake
                   DEPENDS ${TARVO_MO_FILES} ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalogues.cmake
                   COMMENT "Building the catalogues into the program"
                   VERBATIM)
# The template is made with every build, so the catalogue test always sees
# the texts of the sources built.
add_custom_target(tarvo_catalogue_template ALL DEPENDS ${TARVO_POT})
