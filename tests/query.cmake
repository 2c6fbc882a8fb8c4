velmorant_test(tst_cstrike SOURCES tst_cstrike.cpp LIBS velmorant_query)
velmorant_test(tst_iphostport SOURCES tst_iphostport.cpp LIBS velmorant_query)
velmorant_test(tst_nmudp SOURCES tst_nmudp.cpp LIBS velmorant_query LOCK udp27035)
