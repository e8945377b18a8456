#include "databasesession.h"

#include "common/cp1250.h"
#include "tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace layout;

namespace {

const QString MsgCreateFailed = QStringLiteral("Nie udało się utworzyć nowej bazy");
const QString MsgReadError = QStringLiteral("Wystąpił błąd odczytu");
const QString MsgNotOpen = QStringLiteral("Plik z bazą nie jest otwarty.");
const QString MsgTargetFailed = QStringLiteral("Nie mogę otworzyć pliku docelowego");
const QString MsgWriteError = QStringLiteral("Wystąpił błąd zapisu");

void putBytes(QByteArray& data, qint64 offset, QByteArrayView bytes)
{
    std::copy_n(bytes.data(), bytes.size(), data.data() + offset);
}

} // namespace

namespace {

// A directory of this user only under `base`: created 0700, and refused when it is not a real
// directory owned by us or when others may write to it. The working copy holds the cashiers'
// passwords, and a copy planted there would be offered for recovery.
QString privateDirectoryUnder(const QString& base)
{
    const uid_t uid = ::getuid();
    const QString dir = base + QStringLiteral("/vorn-duno-") + QString::number(uid);
    const QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {};
    return dir;
}

} // namespace

QString temporaryDirectory()
{
    // TEMP is often a shared directory (/tmp): the program's own directory inside it, as
    // under the system's, never a fixed file name among other users' files.
    const QString temp = qEnvironmentVariable("TEMP");
    if (!temp.isEmpty() && QFileInfo(temp).isDir())
        if (const QString own = privateDirectoryUnder(QDir::cleanPath(temp)); !own.isEmpty())
            return own;
    return privateDirectoryUnder(QDir::tempPath());
}

DatabaseSession::DatabaseSession(const QString& workingCopyPath)
    : m_workingCopyPath(workingCopyPath)
{
}

QString DatabaseSession::workingCopyPath() const
{
    if (!m_workingCopyPath.isEmpty())
        return m_workingCopyPath;
    const QString dir = temporaryDirectory();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + WorkingCopyName;
}

QString DatabaseSession::paddedSymbol(const QString& symbol)
{
    return symbol.rightJustified(3, QLatin1Char(' '), false);
}

void DatabaseSession::setCurrencySymbol(const QString& symbol)
{
    m_symbol = paddedSymbol(symbol);
    if (m_modified)
        writeMarker();
}

QByteArray DatabaseSession::newWorkingCopy(const QString& symbol)
{
    QByteArray data(CreatedSize, '\0');
    putBytes(data, 0, MagicV2);
    putBytes(data, MagicSize, "    ");
    data[20] = '\x01';

    // Cashier 1, the manager: number, name (21), password (4), seven permissions.
    const qint64 cashier = Cashiers.offsetOf(1);
    data[cashier] = 1;
    putBytes(data, cashier + 1, cp1250::padRight(QStringLiteral("Kierownik"), 21));
    putBytes(data, cashier + 22, cp1250::padRight(QStringLiteral("7395"), 4));
    putBytes(data, cashier + 26, QByteArray(7, '\x01'));

    const qint64 group = Groups.offsetOf(1);
    data[group] = 1;
    putBytes(data, group + 1, cp1250::padRight(QStringLiteral("Grupa podstawowa"), 21));

    putBytes(data, CurrencyFieldCreation.base, cp1250::padSpaces(symbol, 3));

    // Rates A..G: letter and 16-bit value in hundredths of a percent; 0xFFFE inactive,
    // 0xFFFF exempt.
    const quint16 rates[7] = {2300, 800, 0, 500, 0xFFFE, 0xFFFE, 0xFFFF};
    for (int i = 0; i < 7; ++i) {
        const qint64 at = VatRates.offsetOf(i + 1);
        data[at] = char('A' + i);
        data[at + 1] = char(rates[i] & 0xFF);
        data[at + 2] = char(rates[i] >> 8);
    }

    const quint32 halo[10] = {0, 100, 200, 500, 1000, 2000, 3000, 5000, 10000, 50000};
    for (int i = 0; i < 10; ++i)
        for (int b = 0; b < 4; ++b)
            data[Halo.offsetOf(i + 1) + b] = char((halo[i] >> (8 * b)) & 0xFF);
    return data;
}

QByteArray DatabaseSession::convertedWorkingCopy(const QByteArray& file)
{
    if (!file.startsWith(QByteArrayView(MagicV1, MagicSize)))
        return file;
    // Each 67-byte article record gains a last byte 0 (the unit byte); everything after the
    // article table moves up by 2000 bytes. The result is 207,000 bytes long.
    QByteArray out;
    out.reserve(file.size() + V1Shift);
    out.append(file.left(Articles.base));
    for (int n = 0; n < Articles.count; ++n) {
        out.append(file.mid(Articles.base + qint64(n) * V1ArticleSize, V1ArticleSize));
        out.append('\0');
    }
    out.append(file.mid(V1ArticleEnd));
    return out;
}

DbResult DatabaseSession::createWorkingDatabase()
{
    // The new copy is written beside the loaded one and takes its place only when complete:
    // a failure leaves the database in use loaded, on its own file.
    const QString path = workingCopyPath();
    if (path.isEmpty() || !m_db.load(path, newWorkingCopy(m_symbol)))
        return {false, MsgCreateFailed};
    ++m_generation;
    return {true, QString()};
}

DbResult DatabaseSession::startUp()
{
    m_displayName = WorkingCopyName;
    m_symbol = QStringLiteral("PLN");
    const DbResult result = createWorkingDatabase();
    if (result.ok)
        m_displayName = QStringLiteral("Bez nazwy");
    setModified(false);
    return {result.ok, QString()}; // the start-up shows nothing
}

DbResult DatabaseSession::newDatabase(const QString& name, const QString& symbol)
{
    // The symbol goes into the file and onto receipts: a character without a cp1250 byte is
    // refused before anything changes, the database in use stays as it is.
    if (const QString refused =
            cp1250::refusal(symbol, QStringLiteral("Symbol waluty ewidencyjnej"));
        !refused.isEmpty())
        return {false, refused};
    const QString heldSymbol = m_symbol;
    const QString heldName = m_displayName;
    m_symbol = paddedSymbol(symbol);
    m_displayName = name;
    const DbResult result = createWorkingDatabase();
    if (!result.ok) {
        // The database in use stays, with its own name and symbol.
        m_symbol = heldSymbol;
        m_displayName = heldName;
        return result;
    }
    if (m_modified)
        writeMarker();
    else
        setModified(true);
    return result;
}

DbResult DatabaseSession::openDatabaseFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {false, QStringLiteral("Plik ") + path + QStringLiteral(" nie istnieje.")};
    if (info.isDir())
        return {false, QStringLiteral("Nie mogę odczytać pliku ") + path};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("Nie mogę odczytać pliku ") + path};
    const QByteArray bytes = file.read(FileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {false, QStringLiteral("Nie mogę odczytać pliku ") + path};
    if (bytes.size() != FileSize)
        return {false, QStringLiteral("Plik ") + path +
                           QStringLiteral(" nie jest bazą danych Vorn Duno (zła długość pliku).")};
    file.close();

    const QString working = workingCopyPath();
    if (working.isEmpty() || !m_db.load(working, convertedWorkingCopy(bytes)))
        return {false, MsgReadError};
    ++m_generation;
    m_displayName = info.fileName();
    return {true, QString()};
}

QByteArray DatabaseSession::fileBytes() const
{
    // The working copy's bytes 16..204999 behind the version-2 magic; a shorter copy
    // contributes bytes 0, a longer one (a converted file) is cut at 205,000.
    QByteArray bytes = m_db.contents().left(FileSize);
    bytes.resize(FileSize, '\0');
    putBytes(bytes, 0, QByteArrayView(MagicV2, MagicSize));
    return bytes;
}

DbResult DatabaseSession::saveDatabaseFile(const QString& path)
{
    // The program's copy holds every edit, also one that the working copy on disk missed
    // when a write to it failed: the save takes it from there.
    if (!m_db.isOpen())
        return {false, MsgNotOpen};
    // Unbuffered: a disk that takes only part of the file fails the save instead of leaving
    // a short file in place of the old one.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, MsgTargetFailed};

    const QByteArray bytes = fileBytes();
    if (out.write(bytes) != bytes.size() || !out.commit())
        return {false, MsgWriteError};

    m_displayName = QFileInfo(path).fileName();
    setModified(false);
    return {true, QStringLiteral("Zapisano plik ") + path};
}

DatabaseSession::~DatabaseSession()
{
    const QString marker = markerPath();
    if (!marker.isEmpty())
        QFile::remove(marker);
}

QString DatabaseSession::markerPath() const
{
    const QString working = workingCopyPath();
    return working.isEmpty() ? QString() : working + QStringLiteral(".niezapisana");
}

void DatabaseSession::setModified(bool modified)
{
    const bool changed = modified != m_modified;
    m_modified = modified;
    if (!changed)
        return;
    if (modified) {
        writeMarker();
    } else if (const QString marker = markerPath(); !marker.isEmpty()) {
        QFile::remove(marker);
    }
}

void DatabaseSession::setDisplayName(const QString& name)
{
    m_displayName = name;
    if (m_modified)
        writeMarker();
}

void DatabaseSession::writeMarker() const
{
    const QString marker = markerPath();
    if (marker.isEmpty())
        return;
    QSaveFile out(marker);
    const QByteArray text = m_displayName.toUtf8() + '\n' + m_symbol.toUtf8() + '\n';
    if (out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && out.write(text) == text.size())
        out.commit();
}

DatabaseSession::Recovery DatabaseSession::recoverableWorkingCopy() const
{
    Recovery r;
    const QString marker = markerPath();
    if (marker.isEmpty())
        return r;
    QFile file(marker);
    const QFileInfo working(workingCopyPath());
    if (!working.isFile() || working.size() < CreatedSize || !file.open(QIODevice::ReadOnly))
        return r;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    r.available = true;
    r.displayName =
        lines.value(0).isEmpty() ? QStringLiteral("Bez nazwy") : QString::fromUtf8(lines.value(0));
    r.symbol = lines.size() > 1 && !lines.at(1).isEmpty() ? QString::fromUtf8(lines.at(1))
                                                          : QStringLiteral("PLN");
    return r;
}

DbResult DatabaseSession::restoreWorkingCopy()
{
    const Recovery r = recoverableWorkingCopy();
    QFile file(workingCopyPath());
    if (!r.available || !file.open(QIODevice::ReadOnly))
        return {false, MsgReadError};
    const QByteArray bytes = file.readAll();
    file.close();
    if (bytes.size() < CreatedSize || !m_db.load(workingCopyPath(), bytes))
        return {false, MsgReadError};
    ++m_generation;
    m_displayName = r.displayName;
    m_symbol = r.symbol;
    m_modified = true;
    return {true, QString()};
}
