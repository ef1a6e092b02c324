target_sources(vbu_core PRIVATE
    catalogue/Catalogue.cpp catalogue/Catalogue.h
    catalogue/CatalogueFile.cpp catalogue/CatalogueFile.h
    catalogue/CatalogueProgress.h
    catalogue/CatalogueRecords.cpp catalogue/CatalogueRecords.h
)
