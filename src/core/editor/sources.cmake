target_sources(vbu_core PRIVATE
    editor/CapturedKey.cpp editor/CapturedKey.h
    editor/ScriptEdits.cpp editor/ScriptEdits.h
    editor/ScriptText.cpp editor/ScriptText.h
)
