target_sources(vbu_core PRIVATE
    ui/LogoBands.cpp ui/LogoBands.h
    ui/LogoPainter.cpp ui/LogoPainter.h
    ui/LogoSurface.h
    ui/OleColor.cpp ui/OleColor.h
    ui/ProgramIcon.cpp ui/ProgramIcon.h
    ui/SplashPicture.cpp ui/SplashPicture.h
)
