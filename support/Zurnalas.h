// The program's debug log, off unless asked for: QT_LOGGING_RULES with
// "velmorant.*.debug=true" (or one of the categories) turns it on, and Qt
// writes it to the standard error. It names servers, lists and commands,
// never a password or a key.
#pragma once

#include <QLoggingCategory>

// velmorant.query: each round to a server (sent, answered or not), the names looked up.
Q_DECLARE_LOGGING_CATEGORY(ApklausosZurnalas)
// velmorant.lists: the browser's lists asked and answered, with their counts.
Q_DECLARE_LOGGING_CATEGORY(SarasuZurnalas)
// velmorant.console: the remote console's commands (their first word) and answers.
Q_DECLARE_LOGGING_CATEGORY(KonsolesZurnalas)
