target_sources(vbu_cli PRIVATE)
