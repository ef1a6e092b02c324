target_sources(vbu_cli PRIVATE
    ItemsCommand.cpp ItemsCommand.h
    ResaveCommand.cpp ResaveCommand.h
    ScriptFileAccess.cpp ScriptFileAccess.h
)
