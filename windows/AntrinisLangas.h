// What the three secondary windows (server list, about, details) share: they
// are dialogs shown modally over the watcher and centred on it, they read their
// texts through the watcher's key/value component, and their showing and
// hiding (not the platform's minimising) run the handlers FormShow and FormHide.
#pragma once

#include <QDialog>

#include "Pranesimai.h"

class TAntrinisLangas : public QDialog {
    Q_OBJECT
public:
    explicit TAntrinisLangas(QWidget* tevas = nullptr);

    // Centres the window over the watcher, and keeps it above it, as it is shown.
    void setVisible(bool matomas) override;

    virtual void FormShow() {}
    virtual void FormHide() {}

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    // A text of the current language file, or "###1" before the watcher exists.
    QString Tekstas(const char* sekcija, const char* raktas) const;
    template <typename F> void Saugiai(F&& f) { Apsaugota(this, std::forward<F>(f)); }
};
