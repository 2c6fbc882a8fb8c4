// A look into the running program from outside, for checks of an installed
// program run offscreen: when the environment variable VELMORANT_ZVALGA names a
// folder, the watcher's visible state is written there as "busena.txt" a few
// times a second, and the watcher is closed (as by its close box, so the
// settings are saved) once a file "baigti" appears in that folder.
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// The visible state of `langas`: one line per control, its objectName, a tab and
// its text (labels, buttons, edit and combo boxes; memos as their lines joined by
// "|"; picture boxes as width "x" height ":" the MD5 of their image's ARGB32
// bytes, or "-" without an image). Line breaks inside a text show as "\n".
QByteArray MatomaBusena(const QWidget* langas);

// Starts the look described above on `stebetojas` (the watcher) when
// VELMORANT_ZVALGA is set.
void PradetiZvalgaJeiReikia(QWidget* stebetojas);
