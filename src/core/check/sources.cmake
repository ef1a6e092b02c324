target_sources(vbu_core PRIVATE
    check/AliasCheck.cpp check/AliasCheck.h
    check/CheckProfile.cpp check/CheckProfile.h
    check/CheckTexts.cpp check/CheckTexts.h
    check/ConsoleBuffer.cpp check/ConsoleBuffer.h
    check/ConsoleModel.cpp check/ConsoleModel.h
    check/ConsoleNames.cpp check/ConsoleNames.h
    check/CrossLineCheck.cpp check/CrossLineCheck.h
    check/GameJoin.cpp check/GameJoin.h
    check/GameKeyNames.cpp check/GameKeyNames.h
    check/GameProfile.cpp check/GameProfile.h
    check/GameProfiles.cpp check/GameProfiles.h
    check/IncrementalCheck.cpp check/IncrementalCheck.h
    check/KeyScope.cpp check/KeyScope.h
    check/KeyTouchIndex.cpp check/KeyTouchIndex.h
    check/LineCheck.cpp check/LineCheck.h
    check/LineFacts.h
    check/FactsBlock.cpp check/FactsBlock.h
    check/LineFactsCheck.cpp check/LineFactsCheck.h
    check/LineFindings.cpp check/LineFindings.h
    check/NameHelp.cpp check/NameHelp.h
    check/OpenChangeFindings.cpp check/OpenChangeFindings.h
    check/PrefixSums.cpp check/PrefixSums.h
    check/ScriptChecker.cpp check/ScriptChecker.h
    check/ScriptNames.cpp check/ScriptNames.h
    check/ScriptTokenizer.cpp check/ScriptTokenizer.h
)
