target_sources(vbu_gui PRIVATE
    ui/AboutDialog.cpp ui/AboutDialog.h
    ui/ColorsDialog.cpp ui/ColorsDialog.h
    ui/EtchedLine.cpp ui/EtchedLine.h
    ui/ListColors.cpp ui/ListColors.h
    ui/LogoBox.cpp ui/LogoBox.h
    ui/Prompter.h
    ui/QtPrompter.cpp ui/QtPrompter.h
    ui/SplashWindow.cpp ui/SplashWindow.h
)
