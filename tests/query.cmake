velmorant_test(tst_cstrike SOURCES tst_cstrike.cpp LIBS velmorant_query)
