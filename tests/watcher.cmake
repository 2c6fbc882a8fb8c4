velmorant_test(tst_pagrindinis SOURCES tst_pagrindinis.cpp LIBS velmorant_windows velmorant_testserver LOCK udp27035)
foreach(t tst_meniu tst_nustatymai tst_kalbos tst_jungtis)
    velmorant_test(${t} SOURCES ${t}.cpp StebetojoAplinka.h LIBS velmorant_windows velmorant_testserver LOCK udp27035)
endforeach()
