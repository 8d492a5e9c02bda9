#pragma once
// The compiled message catalogues (GNU .mo files made from resources/po at
// build time), one a language, built into the program as data.

#include <cstddef>

struct EmbeddedCatalogue {
    const char* language;  // as the .po file is named: "en"
    const unsigned char* data;
    std::size_t size;
};

extern const EmbeddedCatalogue kEmbeddedCatalogues[];
extern const std::size_t kEmbeddedCatalogueCount;
