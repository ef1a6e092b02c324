target_sources(vbu_gui PRIVATE
    editor/CheckFindingsModel.cpp editor/CheckFindingsModel.h
    editor/CheckReportWindow.cpp editor/CheckReportWindow.h
    editor/RowListView.cpp editor/RowListView.h
    editor/KeyCap.cpp editor/KeyCap.h
    editor/KeyCaptureDialog.cpp editor/KeyCaptureDialog.h
    editor/KeyMapBindings.cpp editor/KeyMapBindings.h
    editor/KeyMapWindow.cpp editor/KeyMapWindow.h
    editor/Latin1Validator.cpp editor/Latin1Validator.h
    editor/ScriptLineDelegate.cpp editor/ScriptLineDelegate.h
    editor/ToolbarIcons.cpp editor/ToolbarIcons.h
)
