# The secondary windows: server list, server details and rules, about. Each
# binds no fixed port of its own, but the watcher they start with holds UDP 27035.
velmorant_test(tst_serveriai SOURCES tst_serveriai.cpp LIBS velmorant_windows velmorant_testserver LOCK udp27035)
velmorant_test(tst_taisykles SOURCES tst_taisykles.cpp LIBS velmorant_windows velmorant_testserver LOCK udp27035)
velmorant_test(tst_apie SOURCES tst_apie.cpp LIBS velmorant_windows velmorant_testserver LOCK udp27035)
# What the three server windows share (reply intake, wrong sender, message gate), one row per window.
velmorant_test(tst_serveriu_langai SOURCES tst_serveriu_langai.cpp StebetojoAplinka.h RankinisServeris.h
    LIBS velmorant_windows velmorant_testserver LOCK udp27035)
