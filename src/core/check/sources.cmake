target_sources(vbu_core PRIVATE
    check/ConsoleBuffer.cpp check/ConsoleBuffer.h
    check/ConsoleModel.cpp check/ConsoleModel.h
    check/ConsoleNames.cpp check/ConsoleNames.h
    check/GameKeyNames.cpp check/GameKeyNames.h
    check/GameProfile.cpp check/GameProfile.h
    check/GameProfiles.cpp check/GameProfiles.h
    check/ScriptChecker.cpp check/ScriptChecker.h
    check/ScriptTokenizer.cpp check/ScriptTokenizer.h
)
