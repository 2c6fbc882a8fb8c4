#include "ServerioKonsole.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include "AtsakymuKurejas.h"
#include "TestinisServeris.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView kAntraste("\xFF\xFF\xFF\xFF", 4);
constexpr QByteArrayView kIssukioPrasymas("challenge rcon");
constexpr QByteArrayView kKomandosZodis("rcon");

// One word as the engine's parser reads it: blanks and control characters
// skipped, then a quoted text or the characters up to the next blank. The
// view moves past the word.
std::optional<QByteArray> KitasZodis(QByteArrayView& likutis) {
    while (!likutis.isEmpty() && static_cast<unsigned char>(likutis.front()) <= ' ')
        likutis = likutis.sliced(1);
    if (likutis.isEmpty())
        return std::nullopt;
    if (likutis.front() == '"') {
        likutis = likutis.sliced(1);
        const qsizetype galas = likutis.indexOf('"');
        const QByteArray zodis = (galas < 0 ? likutis : likutis.first(galas)).toByteArray();
        likutis = galas < 0 ? QByteArrayView() : likutis.sliced(galas + 1);
        return zodis;
    }
    qsizetype i = 0;
    while (i < likutis.size() && static_cast<unsigned char>(likutis[i]) > ' ')
        ++i;
    const QByteArray zodis = likutis.first(i).toByteArray();
    likutis = likutis.sliced(i);
    return zodis;
}

QByteArray Eilute(const QByteArray& tekstas) {
    return tekstas + '\n';
}

} // namespace

QByteArray PaslepatiSlaptazodi(const QByteArray& zodis) {
    if (!zodis.startsWith("rcon "))
        return zodis;
    QByteArrayView likutis = QByteArrayView(zodis).sliced(4);
    qsizetype priesSlaptazodi = zodis.size() - likutis.size();
    // The challenge, a number; the Quake form starts with the password.
    const std::optional<QByteArray> pirmas = KitasZodis(likutis);
    bool skaicius = false;
    if (pirmas)
        pirmas->toUInt(&skaicius);
    if (skaicius)
        priesSlaptazodi = zodis.size() - likutis.size();
    else
        likutis = QByteArrayView(zodis).sliced(priesSlaptazodi);
    if (!KitasZodis(likutis))
        return zodis;
    return zodis.left(priesSlaptazodi) + " \"***\"" + likutis.toByteArray();
}

TServerioKonsole::TServerioKonsole(TLaikrodis laikrodis) {
    NustatytiLaikrodi(std::move(laikrodis));
}

void TServerioKonsole::NustatytiLaikrodi(TLaikrodis naujas) {
    if (naujas) {
        laikrodis = std::move(naujas);
        return;
    }
    auto pradzia = std::make_shared<QElapsedTimer>();
    pradzia->start();
    laikrodis = [pradzia] {
        return pradzia->elapsed();
    };
}

QString TServerioKonsole::Raktas(const QHostAddress& adresas) {
    bool ipv4 = false;
    const quint32 a = adresas.toIPv4Address(&ipv4);
    return ipv4 ? QHostAddress(a).toString() : adresas.toString();
}

bool TServerioKonsole::ArUzdraustas(const QHostAddress& adresas) const {
    return adresai.value(Raktas(adresas)).Uzdraustas;
}

int TServerioKonsole::Nesekmes(const QHostAddress& adresas) const {
    const qint64 dabar = laikrodis();
    int n = 0;
    for (const qint64 t : adresai.value(Raktas(adresas)).Nesekmes)
        if (dabar - t < kNesekmiuLaikasMs)
            ++n;
    return n;
}

quint32 TServerioKonsole::Issukis(const QHostAddress& adresas) {
    TAdresas& a = adresai[Raktas(adresas)];
    if (!a.Issukis)
        a.Issukis = QRandomGenerator::global()->generate();
    return *a.Issukis;
}

void TServerioKonsole::PakeistiIssukius() {
    for (TAdresas& a : adresai)
        if (a.Issukis)
            a.Issukis = *a.Issukis + 1 + QRandomGenerator::global()->bounded(1000u);
}

void TServerioKonsole::Atleisti() {
    for (TAdresas& a : adresai) {
        a.Uzdraustas = false;
        a.Nesekmes.clear();
    }
}

std::optional<QList<QByteArray>> TServerioKonsole::Apdoroti(const QByteArray& datagrama, const QHostAddress& siuntejas,
                                                            TServerioTurinys& turinys) {
    if (ArUzdraustas(siuntejas))
        return QList<QByteArray>{KurtiBanoAtsakyma(kUzdraudimoTekstas)};
    if (!datagrama.startsWith(kAntraste))
        return std::nullopt;
    const QByteArrayView zodis = QByteArrayView(datagrama).sliced(4);
    if (zodis.startsWith(kIssukioPrasymas)) {
        const QByteArrayView likutis = zodis.sliced(kIssukioPrasymas.size());
        if (!likutis.isEmpty() && static_cast<unsigned char>(likutis.front()) > ' ')
            return std::nullopt;
        if (quakeForma)
            return QList<QByteArray>{};
        const quint32 c = Issukis(siuntejas);
        return QList<QByteArray>{kAntraste.toByteArray() + "challenge rcon " + QByteArray::number(c) + "\n" +
                                 QByteArray(1, '\0')};
    }
    if (!zodis.startsWith(kKomandosZodis) || zodis.size() == kKomandosZodis.size() ||
        static_cast<unsigned char>(zodis[kKomandosZodis.size()]) > ' ')
        return std::nullopt;
    // The engine drops a request too long for its buffer without a word.
    if (datagrama.size() >= kUzklausosRiba)
        return QList<QByteArray>{};
    const QByteArray likusi = zodis.sliced(kKomandosZodis.size()).toByteArray();
    if (quakeForma)
        return QuakeKomanda(likusi, turinys);
    return Komanda(likusi, adresai[Raktas(siuntejas)], turinys);
}

QList<QByteArray> TServerioKonsole::QuakeKomanda(const QByteArray& likusi, TServerioTurinys& turinys) {
    QByteArrayView likutis(likusi);
    const std::optional<QByteArray> slaptazodis = KitasZodis(likutis);
    if (!slaptazodis || slaptazodis_.isEmpty() || *slaptazodis != slaptazodis_)
        return {};
    ++ivykdyta;
    return SpausdinimoDatagramos(Vykdyti(likutis.toByteArray().trimmed(), turinys));
}

QList<QByteArray> TServerioKonsole::Komanda(const QByteArray& likusi, TAdresas& a, TServerioTurinys& turinys) {
    QByteArrayView likutis(likusi);
    const std::optional<QByteArray> issukis = KitasZodis(likutis);
    const std::optional<QByteArray> slaptazodis = KitasZodis(likutis);
    const auto atsakymas = [](const char* tekstas) {
        return IsvestiesDatagramos(tekstas);
    };
    if (!issukis || !slaptazodis || slaptazodis_.isEmpty())
        return atsakymas(slaptazodis_.isEmpty() ? "Bad rcon_password.\nNo password set for this server.\n"
                                                : "Bad challenge.\n");
    bool skaicius = false;
    const quint32 c = issukis->toUInt(&skaicius);
    if (!skaicius || !a.Issukis || c != *a.Issukis)
        return atsakymas("Bad challenge.\n");
    if (*slaptazodis != slaptazodis_) {
        const qint64 dabar = laikrodis();
        a.Nesekmes.removeIf([dabar](qint64 t) { return dabar - t >= kNesekmiuLaikasMs; });
        a.Nesekmes.append(dabar);
        // The engine's addip with a penalty of 0: for good.
        if (a.Nesekmes.size() >= kNesekmiuRiba)
            a.Uzdraustas = true;
        return atsakymas("Bad rcon_password.\n");
    }
    QByteArray komanda = likutis.toByteArray().trimmed();
    ++ivykdyta;
    return IsvestiesDatagramos(Vykdyti(komanda, turinys));
}

QByteArray TServerioKonsole::Vykdyti(const QByteArray& komanda, TServerioTurinys& turinys) const {
    QByteArrayView likutis(komanda);
    const std::optional<QByteArray> vardas = KitasZodis(likutis);
    if (!vardas)
        return {};
    const QByteArray argumentai = likutis.toByteArray().trimmed();
    if (*vardas == "echo")
        return Eilute(argumentai);
    if (*vardas == "status" && quakeForma) {
        QByteArray s = Eilute("map: " + turinys.Detales.Info.Zemelapis);
        s += Eilute("# score ping dev lastmsg qport useragent\t\tname\t\taddress");
        int nr = 0;
        for (const TZaidejoInfo& z : turinys.Zaidejai)
            s += Eilute(QByteArray::number(nr++).rightJustified(2) + ' ' +
                        QByteArray::number(z.Zaidejas.Fragai).rightJustified(5) +
                        " Bot    n/a  10.77668     0 n/a (n/a-n/a 0)\t" + z.Zaidejas.Vardas.rightJustified(8) +
                        "\t 0.0.0.0");
        return s + '\n';
    }
    if (*vardas == "status") {
        const TDetales& d = turinys.Detales;
        QByteArray s;
        s += Eilute("hostname:  " + d.Info.Pavadinimas);
        s += Eilute("version :  48/1.1.2.7/Stdio 9920 secure");
        s += Eilute("map     :  " + d.Info.Zemelapis + " at: 0 x, 0 y, 0 z");
        s += Eilute("players :  " + QByteArray::number(turinys.Zaidejai.size()) + " active (" +
                    QByteArray::number(d.MaxZaideju) + " max)");
        s += Eilute("#      name userid uniqueid frag time ping loss adr");
        int nr = 1;
        for (const TZaidejoInfo& z : turinys.Zaidejai) {
            s += Eilute("#" + QByteArray::number(nr).rightJustified(2) + " \"" + z.Zaidejas.Vardas + "\" " +
                        QByteArray::number(nr) + " BOT " + QByteArray::number(z.Zaidejas.Fragai) + " " +
                        QByteArray::number(z.Valandos) + ":" + QByteArray::number(z.Minutes).rightJustified(2, '0') +
                        ":" + QByteArray::number(z.Sekundes).rightJustified(2, '0') + " 0 0");
            ++nr;
        }
        s += Eilute(QByteArray::number(turinys.Zaidejai.size()) + " users");
        return s;
    }
    if (*vardas == "lines") {
        bool gerai = false;
        const int n = argumentai.toInt(&gerai);
        if (!gerai || n < 0 || n > 100000)
            return Eilute("Usage: lines <count from 0 to 100000>");
        QByteArray s;
        for (int i = 1; i <= n; ++i)
            s += "line " + QByteArray::number(i).rightJustified(5, '0') + " of " + QByteArray::number(n) +
                 ": the quick brown fox jumps over the lazy dog\n";
        return s;
    }
    for (TTaisykle& t : turinys.Taisykles) {
        if (t.Pavadinimas.compare(*vardas, Qt::CaseInsensitive) != 0)
            continue;
        if (argumentai.isEmpty())
            return Eilute('"' + t.Pavadinimas + "\" is \"" + t.Reiksme + '"');
        t.Reiksme = argumentai.startsWith('"') && argumentai.endsWith('"') && argumentai.size() >= 2
                        ? argumentai.mid(1, argumentai.size() - 2)
                        : argumentai;
        return {};
    }
    return Eilute("Unknown command: " + *vardas);
}

QList<QByteArray> TServerioKonsole::SpausdinimoDatagramos(const QByteArray& isvestis) {
    QList<QByteArray> datagramos;
    for (qsizetype i = 0; i < isvestis.size();) {
        const qsizetype galas = isvestis.indexOf('\n', i);
        const qsizetype ilgis = qMin<qsizetype>(galas < 0 ? isvestis.size() - i : galas + 1 - i, kIsvestiesTalpa);
        datagramos.append(kAntraste.toByteArray() + "print\n" + isvestis.mid(i, ilgis));
        i += ilgis;
    }
    datagramos.append(kAntraste.toByteArray() + "print\n");
    return datagramos;
}

QList<QByteArray> TServerioKonsole::IsvestiesDatagramos(const QByteArray& isvestis) {
    QList<QByteArray> datagramos;
    QByteArray buferis;
    const auto issiusti = [&] {
        datagramos.append(KurtiAntraste(kTipasBanas) + buferis + QByteArray(1, '\0'));
        buferis.clear();
    };
    qsizetype i = 0;
    while (i < isvestis.size()) {
        const qsizetype galas = isvestis.indexOf('\n', i);
        const QByteArray eilute = isvestis.mid(i, galas < 0 ? -1 : galas + 1 - i);
        i += eilute.size();
        if (buferis.size() + eilute.size() > kIsvestiesTalpa && !buferis.isEmpty())
            issiusti();
        // A line longer than the buffer goes in pieces of the buffer's size.
        for (qsizetype j = 0; j < eilute.size();) {
            const qsizetype dalis = qMin<qsizetype>(kIsvestiesTalpa - buferis.size(), eilute.size() - j);
            buferis += eilute.mid(j, dalis);
            j += dalis;
            if (buferis.size() >= kIsvestiesTalpa)
                issiusti();
        }
    }
    if (!buferis.isEmpty() || datagramos.isEmpty())
        issiusti();
    return datagramos;
}
