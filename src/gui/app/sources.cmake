target_sources(vbu_gui PRIVATE
    app/MainWindow.cpp app/MainWindow.h
    app/MenuKeysFirst.cpp app/MenuKeysFirst.h
    app/ToolWindowSwitch.cpp app/ToolWindowSwitch.h
)
