target_sources(vbu_core PRIVATE
    editor/ScriptText.cpp editor/ScriptText.h
)
