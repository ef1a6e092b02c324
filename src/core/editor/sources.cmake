target_sources(vbu_core PRIVATE
    editor/CapturedKey.cpp editor/CapturedKey.h
    editor/GameKeyNames.cpp editor/GameKeyNames.h
    editor/ScriptChecker.cpp editor/ScriptChecker.h
    editor/ScriptEdits.cpp editor/ScriptEdits.h
    editor/ScriptText.cpp editor/ScriptText.h
    editor/ScriptTokenizer.cpp editor/ScriptTokenizer.h
)
