velmorant_test(tst_hover SOURCES tst_hover.cpp LIBS velmorant_widgets)
velmorant_test(tst_memo SOURCES tst_memo.cpp LIBS velmorant_widgets)
