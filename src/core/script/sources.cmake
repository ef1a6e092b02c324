target_sources(vbu_core PRIVATE
    script/ByteScan.h
    script/FileItems.cpp script/FileItems.h
    script/FileReplacer.cpp script/FileReplacer.h
    script/OpenChanges.cpp script/OpenChanges.h
    script/OpenMarks.cpp script/OpenMarks.h
    script/ScriptLines.cpp script/ScriptLines.h
    script/ScriptModel.cpp script/ScriptModel.h
    script/ScriptReader.cpp script/ScriptReader.h
    script/ScriptWriter.cpp script/ScriptWriter.h
)
