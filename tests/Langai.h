// The program's windows as tools and tests find them: each top-level window
// by its instance name, while the start-up's windows exist (nullptr otherwise).
#pragma once

#include <QApplication>
#include <QWidget>

#include "Modulis1.h"
#include "Modulis2.h"
#include "Modulis_Apie.h"
#include "Modulis_Konsole.h"
#include "Modulis_Narsykle.h"
#include "Modulis_Taisykles.h"

template <typename T> T* ProgramosLangas(const char* vardas) {
    for (QWidget* langas : QApplication::topLevelWidgets())
        if (langas->objectName() == QLatin1StringView(vardas))
            if (auto* t = qobject_cast<T*>(langas))
                return t;
    return nullptr;
}

inline TfrmPagrindinis* frmPagrindinis() {
    return ProgramosLangas<TfrmPagrindinis>("frmPagrindinis");
}
inline TfrmServeriai* frmServeriai() {
    return ProgramosLangas<TfrmServeriai>("frmServeriai");
}
inline TfrmApie* frmApie() {
    return ProgramosLangas<TfrmApie>("frmApie");
}
inline TfrmTaisykles* frmTaisykles() {
    return ProgramosLangas<TfrmTaisykles>("frmTaisykles");
}
inline TfrmKonsole* frmKonsole() {
    return ProgramosLangas<TfrmKonsole>("frmKonsole");
}
inline TfrmNarsykle* frmNarsykle() {
    return ProgramosLangas<TfrmNarsykle>("frmNarsykle");
}
