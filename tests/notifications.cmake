# Telling the user: the friends list, the rules that turn round records into
# notifications, the notifications on a session bus the test starts, the tray icon.
velmorant_test(tst_draugai SOURCES tst_draugai.cpp LIBS velmorant_support)
velmorant_test(tst_pranesimu_taisykles SOURCES tst_pranesimu_taisykles.cpp LIBS velmorant_query)
velmorant_test(tst_pranesejas SOURCES tst_pranesejas.cpp LIBS velmorant_query)
velmorant_test(tst_deklo_piktograma SOURCES tst_deklo_piktograma.cpp LIBS velmorant_windows)
