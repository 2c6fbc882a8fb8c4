velmorant_test(tst_hover SOURCES tst_hover.cpp LIBS velmorant_widgets)
