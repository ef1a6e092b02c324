target_sources(vbu_gui PRIVATE
    editor/KeyCaptureDialog.cpp editor/KeyCaptureDialog.h
    editor/Latin1Validator.cpp editor/Latin1Validator.h
    editor/ProgStuff.cpp editor/ProgStuff.h
    editor/ToolbarIcons.cpp editor/ToolbarIcons.h
)
