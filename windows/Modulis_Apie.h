// The about window: the program's name, version line and legal notice from
// its own version record, and a comment from the language file, read anew at
// every activation.
//
// The layout is built in code (SukurtiValdiklius); the behaviour lives in
// FormActivate.
#pragma once

#include "AntrinisLangas.h"
#include "FailoInfo.h"

class QLabel;

class TfrmApie : public TAntrinisLangas {
    Q_OBJECT
public:
    explicit TfrmApie(TStebetojas* stebetojas, QWidget* tevas = nullptr);
    ~TfrmApie() override;

    // Controls, named as in the layout.
    QLabel* Image1 = nullptr;
    QLabel* lblPavadinimas = nullptr;
    QLabel* lblVersija = nullptr;
    QLabel* lblKomentarai = nullptr;
    QLabel* lblCopyright = nullptr;

    // The window's own copy of the ten version texts, read at every activation.
    TVersijosTekstai VersijosTekstai;

    // Handlers.
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* ivykis) override;

private:
    void SukurtiValdiklius();

    // The activation that follows a showing was handled by the showing itself.
    bool laukiamaAktyvinimo = false;
};
