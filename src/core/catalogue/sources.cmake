target_sources(vbu_core PRIVATE
    catalogue/Catalogue.cpp catalogue/Catalogue.h
    catalogue/CatalogueFile.cpp catalogue/CatalogueFile.h
    catalogue/CatalogueProgress.h
    catalogue/CatalogueRecords.cpp catalogue/CatalogueRecords.h
    catalogue/CatalogueUpdate.cpp catalogue/CatalogueUpdate.h
    catalogue/Detect.cpp catalogue/Detect.h
    catalogue/UpdateFetcher.cpp catalogue/UpdateFetcher.h
)
