// The register's state as a whole: the factory state, the demonstration content and the
// state file.
#include "registermodel.h"

#include "common/cp1250.h"
#include "registermodel_p.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace emu {

namespace {

void putTime(QByteArray& image, int at, int y, int mo, int d, int h, int mi)
{
    putU16(image, at, uint16_t(y));
    image[at + 2] = char(mo);
    image[at + 3] = char(d);
    image[at + 4] = char(h);
    image[at + 5] = char(mi);
}

} // namespace

RegisterModel::RegisterModel(Model model, int address)
    : m_model(model), m_address(uint8_t(std::clamp(address, 1, 9)))
{
    for (int t = 0; t < TableCount; ++t)
        m_tables[t] =
            QList<QByteArray>(recordCount(Table(t)), QByteArray(imageSize(Table(t), model), '\0'));
    // A register leaves the factory with the rates A 23 %, B 8 %, C 0 %, D 5 %, E and F
    // inactive, G exempt, group 1 "Podstawowa", cashier 1 the manager.
    m_vat = QByteArray(21, '\0');
    const uint16_t rates[7] = {2300, 800, 0, 500, 0xFFFE, 0xFFFE, 0xFFFF};
    for (int i = 0; i < 7; ++i) {
        m_vat[i * 3] = char('A' + i);
        putU16(m_vat, i * 3 + 1, rates[i]);
    }
    QByteArray group(imageSize(Groups, model), '\0');
    group[0] = 1;
    cp1250::putField(group, 1, QStringLiteral("Podstawowa"), 21);
    m_tables[Groups][0] = group;
    QByteArray cashier(imageSize(Cashiers, model), '\0');
    cashier[0] = 1;
    cp1250::putField(cashier, 1, QStringLiteral("Kierownik"), 21);
    for (int i = 224; i <= 230; ++i)
        cashier[i] = 1;
    putNever(cashier, 231);
    putNever(cashier, 237);
    m_tables[Cashiers][0] = cashier;
    m_header = QByteArray(259, '\0');
    m_footer = QByteArray(130, '\0');
    m_units = QByteArray("szt kg l  ", 9);
    m_halo = QByteArray(36, '\0');
    m_settings = QByteArray(22, '\0');
    m_quickKeys = QByteArray(10 * 10 * 32, '\0');
    m_clock = QByteArray(8, '\0');
    m_password = QByteArray(10, ' ');
    m_info = QByteArray(115, '\0');
    {
        QByteArray& d = m_info;
        putU16(d, 0, model == Model::DunoBis ? 200 : 100); // 200 marks DUNO BIS, 100 DUNO
        cp1250::putField(d, 2, QStringLiteral("VD-PROG-01"), 10);
        cp1250::putField(d, 12, QStringLiteral("ABC123456789"), 12);
        putU16(d, 41, 4711); // fiscal memory signature
        d[43] = 1;           // fiscal mode
        d[44] = 0;           // memory open
        // last fiscal memory write 7-12-2026, last daily report 21:05 7-12-2026
        const char lastWrite[4] = {20, 26, 12, 7};
        const char lastReport[6] = {20, 26, 12, 7, 21, 5};
        d.replace(45, 4, QByteArray(lastWrite, 4));
        d.replace(49, 6, QByteArray(lastReport, 6));
        putU16(d, 55, 312);   // last daily report number
        d[57] = 1;            // electronic copy medium
        putU32(d, 61, 15873); // receipts since fiscalisation
        d[68] = 7;            // VAT rate records
        cp1250::putField(d, 91, QStringLiteral("PLN"), 3);
        const char currencySince[6] = {20, 15, 1, 1, 0, 0};
        d.replace(94, 6, QByteArray(currencySince, 6));
        d[112] = 1;          // reached over USB by the computer
        putU16(d, 113, 512); // electronic copy card size
    }
    m_copyText =
        cp1250::encode(QStringLiteral("RAPORT DOBOWY\nNr 312\nSPRZEDAŻ OPODATKOWANA A 0,00\n"));
    for (int i = 0; i < 4 * 256; ++i)
        m_cache.append(char(i * 7 + 3));
}

namespace {
// A Polish EAN-13 for demo article n, with its check digit, so that the demo base passes the
// program's own barcode checks as a real shop's would.
QByteArray demoBarcode(int n)
{
    QByteArray code = QByteArray::number(590000000000LL + n);
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (code[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return code + char('0' + (10 - sum % 10) % 10);
}
} // namespace

void RegisterModel::fillDemo(int articles)
{
    static const char* const groups[] = {"Pieczywo", "Nabiał", "Napoje", "Słodycze", "Chemia"};
    for (int g = 0; g < 5; ++g) {
        QByteArray img(imageSize(Groups, m_model), '\0');
        img[0] = char(g + 1);
        cp1250::putField(img, 1,
                         g == 0 ? QStringLiteral("Podstawowa") : QString::fromUtf8(groups[g]), 21);
        putU32(img, 22, uint32_t(150000 + g * 23117));
        m_tables[Groups][g] = img;
    }
    QByteArray pack(imageSize(Packaging, m_model), '\0');
    pack[0] = 1;
    cp1250::putField(pack, 1, QStringLiteral("Butelka 0,5 l"), 42);
    putU32(pack, 43, 50);
    putU32(pack, 47, 1250);
    putU32(pack, 51, 400);
    putTime(pack, 55, 2026, 12, 5, 14, 20);
    putU16(pack, 61, 25);
    putU16(pack, 63, 8);
    m_tables[Packaging][0] = pack;
    static const char* const kinds[] = {"Gotówka", "Karta", "Czek", "Bon"};
    for (int i = 0; i < 4; ++i) {
        QByteArray img(imageSize(PaymentForms, m_model), '\0');
        img[0] = char(i + 1);
        cp1250::putField(img, 1, QString::fromUtf8(kinds[i]), 21);
        putU32(img, 22, uint32_t(100000 / (i + 1)));
        img[26] = char(i == 0 ? 5 : i);
        putU32(img, 27, uint32_t(40 / (i + 1)));
        m_tables[PaymentForms][i] = img;
    }
    QByteArray eur(imageSize(Currencies, m_model), '\0');
    eur[0] = 1;
    cp1250::putField(eur, 1, QStringLiteral("Euro"), 21);
    putU32(eur, 22, 35000);
    putU32(eur, 26, 43012345);
    eur[30] = 7;
    cp1250::putField(eur, 31, QStringLiteral("EUR"), 3);
    putU32(eur, 34, 12);
    m_tables[Currencies][0] = eur;
    QByteArray disc(imageSize(Discounts, m_model), '\0');
    disc[0] = 1;
    cp1250::putField(disc, 1, QStringLiteral("Rabat stały"), 21);
    putU32(disc, 24, 500);
    putU32(disc, 28, 2350);
    putU32(disc, 32, 14);
    m_tables[Discounts][0] = disc;
    static const char* const cashiers[] = {"Kierownik", "Anna Nowak", "Jan Kowalski"};
    for (int c = 0; c < 3; ++c) {
        QByteArray img(imageSize(Cashiers, m_model), '\0');
        img[0] = char(c + 1);
        cp1250::putField(img, 1, QString::fromUtf8(cashiers[c]), 21);
        cp1250::putField(img, 22, QStringLiteral("%1").arg(1111 * (c + 1)), 4);
        putU32(img, 26, uint32_t(80000 * (c + 1)));
        putU32(img, 30, uint32_t(125000 * (c + 1)));
        putU16(img, 34, uint16_t(120 * (c + 1)));
        putU16(img, 36, uint16_t(c));
        putU32(img, 38, uint32_t(c * 990));
        putU16(img, 42, uint16_t(c * 2));
        putU32(img, 44, uint32_t(c * 450));
        putU32(img, 48, 20000);
        putU32(img, 52, 5000);
        for (int i = 224; i <= 230; ++i)
            img[i] = char(c == 0 ? 1 : (i % 2));
        putTime(img, 231, 2026, 12, 7, 8, c * 5);
        putTime(img, 237, 2026, 12, 7, 16, c * 5);
        m_tables[Cashiers][c] = img;
    }
    static const char* const names[] = {"Chleb", "Bułka",     "Mleko", "Jogurt", "Woda",
                                        "Sok",   "Czekolada", "Baton", "Mydło",  "Proszek"};
    const char vats[] = {'D', 'D', 'D', 'B', 'A', 'A', 'A', 'A', 'A', 'A'};
    articles = std::clamp(articles, 0, 2000);
    for (int n = 1; n <= articles; ++n) {
        const int k = (n - 1) % 10;
        QByteArray img(imageSize(Articles, m_model), '\0');
        putU16(img, 0, uint16_t(n));
        cp1250::putField(img, 2, QString::fromUtf8(names[k]) + QStringLiteral(" %1").arg(n), 42);
        img[44] = vats[k];
        putU32(img, 45, uint32_t(99 + n * 37 % 5000));
        const bool sold = n % 3 != 0;
        putU32(img, 49, sold ? uint32_t(n * 1250 % 900000) : 0);
        putU32(img, 53, sold ? uint32_t(n * 311 % 1000000) : 0);
        img.replace(57, 13, demoBarcode(n));
        img[70] = char(k / 2 + 1);
        img[72] = char(n % 7 == 0);
        img[73] = char(k < 2 || k > 7);
        if (sold)
            putTime(img, 75, 2026, 1 + n % 12, 1 + n % 28, 8 + n % 12, n % 60);
        else
            putNever(img, 75);
        if (m_model == Model::DunoBis)
            img[81] = char(k == 2 || k == 4 ? 3 : 1);
        m_tables[Articles][n - 1] = img;
    }
    m_turnover.clear();
    for (int m = 1; m <= 12; ++m) {
        QByteArray rec(83, '\0');
        rec[0] = char(m);
        putU16(rec, 1, 2026);
        for (int g = 0; g < 5; ++g)
            putU32(rec, 3 + g * 4, uint32_t(10000 * m + 1000 * g));
        m_turnover.append(rec);
    }
    // The header block: six print lines of 42 bytes (centred), the line count at 252.
    m_header.fill('\0');
    const QString lines[] = {QStringLiteral("SKLEP SPOŻYWCZY \"POD LIPĄ\""),
                             QStringLiteral("ul. Lipowa 1, 00-001 Warszawa"),
                             QStringLiteral("NIP 123-456-78-90")};
    for (int i = 0; i < 3; ++i) {
        const int left = (42 - int(lines[i].size())) / 2;
        cp1250::putField(m_header, i * 42, QString(left, u' ') + lines[i], 42, ' ');
    }
    m_header[252] = 3;
    m_nip = QStringLiteral("1234567890");
    QString copy;
    for (int r = 1; r <= 20; ++r)
        copy += QStringLiteral("PARAGON FISKALNY nr %1\nChleb 1 1 x 3,50 = 3,50 D\nSUMA PLN 3,50\n")
                    .arg(r);
    m_copyText = cp1250::encode(copy);
    m_cache.clear();
    for (int i = 0; i < 40 * 256; ++i)
        m_cache.append(char((i * 31 + i / 256) & 0xFF));
}

namespace {
constexpr quint32 kStateMagic = 0x56444531; // "VDE1"
}

bool RegisterModel::save(const QString& path) const
{
    QByteArray blob;
    {
        QDataStream s(&blob, QIODevice::WriteOnly);
        s << kStateMagic << qint32(m_model);
        for (const QList<QByteArray>& t : m_tables)
            s << t;
        s << m_vat << m_header << m_footer << m_units << m_halo << m_settings << m_quickKeys
          << m_clock << m_password << m_nip << m_turnover << m_copyText << m_cache << m_info;
    }
    // The earlier state stays until the new one is written whole.
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && f.write(blob) == blob.size() &&
           f.commit();
}

bool RegisterModel::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray blob = f.readAll();
    QDataStream s(blob);
    quint32 magic = 0;
    qint32 model = 0;
    s >> magic >> model;
    if (magic != kStateMagic || model != qint32(m_model))
        return false;
    std::array<QList<QByteArray>, TableCount> tables;
    for (int t = 0; t < TableCount; ++t) {
        s >> tables[t];
        if (tables[t].size() != recordCount(Table(t)))
            return false;
        for (const QByteArray& img : tables[t])
            if (img.size() != imageSize(Table(t), m_model))
                return false;
    }
    RegisterModel r(m_model, m_address);
    s >> r.m_vat >> r.m_header >> r.m_footer >> r.m_units >> r.m_halo >> r.m_settings >>
        r.m_quickKeys >> r.m_clock >> r.m_password >> r.m_nip >> r.m_turnover >> r.m_copyText >>
        r.m_cache;
    // State files written before the information record was kept end here.
    if (!s.atEnd())
        s >> r.m_info;
    if (s.status() != QDataStream::Ok || r.m_vat.size() != 21 || r.m_header.size() != 259 ||
        r.m_footer.size() != 130 || r.m_units.size() != 9 || r.m_halo.size() != 36 ||
        r.m_settings.size() != 22 || r.m_quickKeys.size() != 3200)
        return false;
    m_tables = tables;
    m_vat = r.m_vat;
    m_header = r.m_header;
    m_footer = r.m_footer;
    m_units = r.m_units;
    m_halo = r.m_halo;
    m_settings = r.m_settings;
    m_quickKeys = r.m_quickKeys;
    m_clock = r.m_clock;
    m_password = r.m_password;
    m_nip = r.m_nip;
    m_turnover = r.m_turnover;
    m_copyText = r.m_copyText;
    m_cache = r.m_cache;
    if (r.m_info.size() == 115)
        m_info = r.m_info;
    return true;
}

} // namespace emu
