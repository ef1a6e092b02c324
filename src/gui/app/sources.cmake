target_sources(vbu_gui PRIVATE
    app/MainWindow.cpp app/MainWindow.h
    app/Prompter.h
    app/QtPrompter.cpp app/QtPrompter.h
    app/ToolWindowSwitch.cpp app/ToolWindowSwitch.h
)
