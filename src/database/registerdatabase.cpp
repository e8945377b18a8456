#include "registerdatabase.h"

#include "common/cp1250.h"

#include <QSaveFile>

namespace {

bool writeAt(QFile& file, qint64 offset, QByteArrayView bytes)
{
    return file.seek(offset) && file.write(bytes.data(), bytes.size()) == bytes.size() &&
           file.flush();
}

// The whole program's copy over the file: puts a working copy right that an earlier failed
// write left behind.
bool rewriteWhole(QFile& file, const QByteArray& data)
{
    return writeAt(file, 0, data) && file.resize(data.size());
}

} // namespace

bool RegisterDatabase::load(const QString& path, const QByteArray& contents)
{
    // The new contents replace the file whole or not at all; until they have, the database
    // loaded before stays loaded on its untouched file. Unbuffered, so that a write the disk
    // takes only in part is seen as failed (a buffered one is cut short without a word).
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        out.write(contents) != contents.size() || !out.commit())
        return false;
    close();
    m_file.setFileName(path);
    // Unbuffered: a write the disk refuses leaves nothing behind in a buffer to turn up later
    // at another position.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    m_data = contents;
    m_pos = 0;
    m_failed = false;
    return true;
}

void RegisterDatabase::close()
{
    m_file.close();
    m_data.clear();
    m_pos = 0;
    m_failed = false;
}

quint8 RegisterDatabase::readByteAt(qint64 offset)
{
    m_pos = offset;
    return readNextByte();
}

quint8 RegisterDatabase::readNextByte()
{
    const qint64 at = m_pos++;
    return at >= 0 && at < m_data.size() ? quint8(m_data.at(at)) : 0;
}

QByteArray RegisterDatabase::readBytes(qint64 offset, int count)
{
    m_pos = offset + count;
    QByteArray bytes(count, '\0');
    if (offset < 0 || offset >= m_data.size() || count <= 0)
        return bytes;
    const qint64 n = qMin<qint64>(count, m_data.size() - offset);
    std::copy_n(m_data.constData() + offset, n, bytes.data());
    return bytes;
}

QString RegisterDatabase::readTextAt(qint64 offset, int width)
{
    return cp1250::readField(readBytes(offset, width));
}

QString RegisterDatabase::readTextHere(int width)
{
    return readTextAt(m_pos, width);
}

void RegisterDatabase::put(qint64 offset, QByteArrayView bytes)
{
    m_pos = offset + bytes.size();
    if (!isOpen() || offset < 0)
        return;
    if (m_data.size() < m_pos)
        m_data.resize(m_pos, '\0');
    std::copy_n(bytes.data(), bytes.size(), m_data.data() + offset);
    // The program's copy holds every edit; the file follows it. After a failed write the file
    // is behind, so the next write puts the whole copy back instead of this piece alone.
    // Writing at a position past the file's end makes the file system fill the gap with 0,
    // the same bytes the memory copy holds there.
    m_failed = m_failed ? !rewriteWhole(m_file, m_data) : !writeAt(m_file, offset, bytes);
}

void RegisterDatabase::writeByteAt(qint64 offset, quint8 value)
{
    const char byte = char(value);
    put(offset, QByteArrayView(&byte, 1));
}

void RegisterDatabase::writeByteHere(quint8 value)
{
    writeByteAt(m_pos, value);
}

void RegisterDatabase::writeTextAt(qint64 offset, const QString& text)
{
    put(offset, cp1250::encode(text));
}

void RegisterDatabase::writePaddedTextAt(qint64 offset, const QString& text, char pad, int width)
{
    QByteArray bytes = cp1250::encode(text);
    if (bytes.size() < width)
        bytes.append(width - bytes.size(), pad);
    put(offset, bytes);
}

void RegisterDatabase::writePaddedTextHere(const QString& text, char pad, int width)
{
    writePaddedTextAt(m_pos, text, pad, width);
}

void RegisterDatabase::clearAt(qint64 offset, int count)
{
    put(offset, QByteArray(qMax(count, 0), '\0'));
}

bool RegisterDatabase::writeRecord(qint64 offset, QByteArrayView bytes)
{
    if (!isOpen() || offset < 0)
        return false;
    const qint64 sizeBefore = m_data.size();
    const QByteArray before = m_data.mid(offset, bytes.size());
    put(offset, bytes);
    if (!m_failed)
        return true;
    // Not in the file: the record is not taken, the program's copy goes back to what it was
    // (the file is put right, whole, by the next write that succeeds).
    std::copy_n(before.constData(), before.size(), m_data.data() + offset);
    m_data.truncate(sizeBefore);
    return false;
}
