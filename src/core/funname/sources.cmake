target_sources(vbu_core PRIVATE
    funname/BuiltInFont.cpp funname/BuiltInFont.h
    funname/ConsoleFont.cpp funname/ConsoleFont.h
    funname/GameFileBytes.h
    funname/GameFontFinder.cpp funname/GameFontFinder.h
    funname/NameComposer.cpp funname/NameComposer.h
    funname/PakFile.cpp funname/PakFile.h
    funname/PcxImage.cpp funname/PcxImage.h
    funname/WadFile.cpp funname/WadFile.h
)
