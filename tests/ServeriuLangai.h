// How a test reaches each of the three server windows (the watcher, the server
// list, the details window): start a round against an address, how many
// requests that round sends, and the text where a details reply's server name shows.
#pragma once

#include <functional>

#include <QFile>
#include <QTest>

#include "Modulis2.h"
#include "Modulis_Taisykles.h"
#include "RankinisServeris.h"
#include "StebetojoAplinka.h"

namespace {

struct TLangas {
    std::function<void(const QString& adresas)> Pradeti;
    qsizetype Uzklausos;
    std::function<QString()> Rodoma;
};

inline TLangas Langas(const QString& vardas) {
    if (vardas == QStringLiteral("watcher"))
        return {[](const QString& a) { frmPagrindinis()->Stebeti(a); }, 3,
                [] {
                    return Valdiklis<QLabel>("lblServerioPavadinimas")->text();
                }};
    if (vardas == QStringLiteral("server list"))
        return {
            [](const QString& a) {
                QFile f(QStringLiteral("resursai/Serveriai.tyb"));
                if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    f.write("t\r\n" + a.toLatin1() + "\r\n");
                f.close();
                frmServeriai()->show();
            },
            1,
            [] {
                return frmServeriai()->findChild<TTinklelioVaizdas*>(QStringLiteral("stgServeriai"))->Langelis(2, 1);
            }};
    return {[](const QString& a) {
                Valdiklis<QLineEdit>("edtHostas")->setText(a);
                frmTaisykles()->show();
            },
            2,
            [] {
                return frmTaisykles()->findChild<QLabel*>(QStringLiteral("lblServeris"))->text();
            }};
}

// Starts `rankinis`, starts window `l` on it and waits, up to 5 s, for the
// window's first round of requests to arrive.
[[nodiscard]] inline bool PradetiPrieRankinio(const TLangas& l, TRankinisServeris& rankinis) {
    if (!rankinis.Paleisti())
        return false;
    l.Pradeti(rankinis.Adresas());
    return QTest::qWaitFor([&] { return rankinis.gauta.size() == l.Uzklausos; }, 5000);
}

inline const QStringList kServeriuLangai{QStringLiteral("watcher"), QStringLiteral("server list"),
                                         QStringLiteral("details")};

} // namespace
