#include "Zurnalas.h"

// Warnings and above only, until QT_LOGGING_RULES says otherwise.
Q_LOGGING_CATEGORY(ApklausosZurnalas, "velmorant.query", QtWarningMsg)
Q_LOGGING_CATEGORY(SarasuZurnalas, "velmorant.lists", QtWarningMsg)
Q_LOGGING_CATEGORY(KonsolesZurnalas, "velmorant.console", QtWarningMsg)
