target_sources(vbu_core PRIVATE)
