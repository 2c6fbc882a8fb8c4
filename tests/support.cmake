# File support: the sectioned key/value file, the path helper, the version record,
# the file search, and the language and settings files shipped in resursai/.
velmorant_test(tst_tybini SOURCES tst_tybini.cpp LIBS velmorant_support)
velmorant_test(tst_keliai SOURCES tst_keliai.cpp LIBS velmorant_support)
velmorant_test(tst_failoinfo SOURCES tst_failoinfo.cpp LIBS velmorant_support)
velmorant_test(tst_failupaieska SOURCES tst_failupaieska.cpp LIBS velmorant_support)
velmorant_test(tst_resursai SOURCES tst_resursai.cpp LIBS velmorant_support)
velmorant_test(tst_registras SOURCES tst_registras.cpp LIBS velmorant_support)
velmorant_test(tst_argumentai SOURCES tst_argumentai.cpp LIBS velmorant_support)
# Where the data lies for an installed program, and the game launch's choices.
velmorant_test(tst_duomenu_aplankai SOURCES tst_duomenu_aplankai.cpp LIBS velmorant_support)
velmorant_test(tst_zaidimo_paleidimas SOURCES tst_zaidimo_paleidimas.cpp LIBS velmorant_support)
velmorant_test(tst_nustatymu_lentele SOURCES tst_nustatymu_lentele.cpp LIBS velmorant_support)
