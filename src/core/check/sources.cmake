target_sources(vbu_core PRIVATE
    check/GameKeyNames.cpp check/GameKeyNames.h
    check/ScriptChecker.cpp check/ScriptChecker.h
    check/ScriptTokenizer.cpp check/ScriptTokenizer.h
)
