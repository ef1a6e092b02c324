target_sources(vbu_gui PRIVATE
    funname/GlyphCell.cpp funname/GlyphCell.h
    funname/NameWindow.cpp funname/NameWindow.h
)
