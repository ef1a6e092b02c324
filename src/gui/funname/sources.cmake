target_sources(vbu_gui PRIVATE)
