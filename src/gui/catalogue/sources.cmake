target_sources(vbu_gui PRIVATE
    catalogue/CommandImages.cpp catalogue/CommandImages.h
    catalogue/CommandsWindow.cpp catalogue/CommandsWindow.h
    catalogue/DockedToolWindow.cpp catalogue/DockedToolWindow.h
    catalogue/UpdateWaitDialog.cpp catalogue/UpdateWaitDialog.h
)
