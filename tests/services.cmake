# The watching services end to end: the windows as the program makes them,
# with the notifications on a session bus the test starts, the friends file,
# the history on a real SQLite file and the details window's plot. The
# watcher binds UDP 27035.
velmorant_test(tst_pranesimai_langai SOURCES tst_pranesimai_langai.cpp PranesimuMagistrale.h StebetojoAplinka.h
    LIBS velmorant_windows velmorant_testserver LOCK udp27035)
velmorant_test(tst_istorija_langai SOURCES tst_istorija_langai.cpp StebetojoAplinka.h
    LIBS velmorant_windows velmorant_testserver LOCK udp27035)
