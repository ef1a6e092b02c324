target_sources(vbu_gui PRIVATE
    catalogue/DockedToolWindow.cpp catalogue/DockedToolWindow.h
)
