# The secondary windows: server list, server details and rules, about. Each
# binds no fixed port of its own, but the watcher they start with holds UDP 27035.
velmorant_test(tst_serveriai SOURCES tst_serveriai.cpp LIBS velmorant_windows velmorant_testserver LOCK udp27035)
velmorant_test(tst_taisykles SOURCES tst_taisykles.cpp LIBS velmorant_windows velmorant_testserver LOCK udp27035)
velmorant_test(tst_apie SOURCES tst_apie.cpp LIBS velmorant_windows velmorant_testserver LOCK udp27035)
# What the three server windows share (reply intake, wrong sender, message gate), one row per window.
velmorant_test(tst_serveriu_langai SOURCES tst_serveriu_langai.cpp ServeriuLangai.h StebetojoAplinka.h RankinisServeris.h
    LIBS velmorant_windows velmorant_testserver LOCK udp27035)
# The three server windows against servers of today and legacy ones (request bytes, duplicates, slow name service).
velmorant_test(tst_a2s_langai SOURCES tst_a2s_langai.cpp ServeriuLangai.h StebetojoAplinka.h RankinisServeris.h
    LIBS velmorant_windows velmorant_testserver LOCK udp27035)
# The three server windows on a lossy network and against servers that limit
# queries: retries within a round, refreshes that never blank, the query
# budget, a list with dead servers polled side by side, the cache of a second start.
velmorant_test(tst_patikimumas SOURCES tst_patikimumas.cpp ServeriuLangai.h StebetojoAplinka.h
    LIBS velmorant_windows velmorant_testserver LOCK udp27035)
