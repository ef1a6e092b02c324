target_sources(vbu_cli PRIVATE
    CatalogueCommand.cpp CatalogueCommand.h
    CheckCommand.cpp CheckCommand.h
    DescribeCommand.cpp DescribeCommand.h
    ItemsCommand.cpp ItemsCommand.h
    PressCommand.cpp PressCommand.h
    ResaveCommand.cpp ResaveCommand.h
    ScriptFileAccess.cpp ScriptFileAccess.h
    UpdateCommand.cpp UpdateCommand.h
)
