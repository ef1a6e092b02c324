target_sources(vbu_core PRIVATE
    editor/GameKeyNames.cpp editor/GameKeyNames.h
    editor/ScriptChecker.cpp editor/ScriptChecker.h
    editor/ScriptText.cpp editor/ScriptText.h
    editor/ScriptTokenizer.cpp editor/ScriptTokenizer.h
)
