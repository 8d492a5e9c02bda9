# Writes OUTPUT, a C++ source holding the compiled catalogues
# CATALOGUE_DIR/<language>.mo of LANGUAGES as byte arrays
# (resources/EmbeddedCatalogues.h). Run with cmake -P.
set(arrays "")
set(entries "")
foreach(language ${LANGUAGES})
  file(READ ${CATALOGUE_DIR}/${language}.mo hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  string(MAKE_C_IDENTIFIER ${language} name)
  string(APPEND arrays "const unsigned char kCatalogue_${name}[] = {\n    ${bytes}\n};\n")
  string(APPEND entries "    {\"${language}\", kCatalogue_${name}, sizeof kCatalogue_${name}},\n")
endforeach()
list(LENGTH LANGUAGES count)
file(WRITE ${OUTPUT}.new
"// Made by cmake/EmbedCatalogues.cmake from the compiled catalogues; not to edit.
#include \"resources/EmbeddedCatalogues.h\"

namespace {
${arrays}}  // namespace

const EmbeddedCatalogue kEmbeddedCatalogues[] = {
${entries}};
const std::size_t kEmbeddedCatalogueCount = ${count};
")
file(RENAME ${OUTPUT}.new ${OUTPUT})
