target_sources(vbu_core PRIVATE
    app/AppInfo.cpp app/AppInfo.h
    app/BoundedFile.cpp app/BoundedFile.h
    app/Counted.h
    app/FileExists.cpp app/FileExists.h
    app/LargePageAllocator.cpp app/LargePageAllocator.h
    app/Twips.h
    app/MruList.cpp app/MruList.h
)
