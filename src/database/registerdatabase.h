#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// The database stream on the working copy. The whole working copy is held in memory and
// every write goes through to the file at once, so the file always holds every edit and
// every read sees every earlier write. Offsets are absolute file offsets; the operations do
// not check them (callers compute them from the table directory). Reads past the end give
// bytes 0 / empty text; writes past the end extend the copy with bytes 0 in between.
class RegisterDatabase {
public:
    RegisterDatabase() = default;
    RegisterDatabase(const RegisterDatabase&) = delete;
    RegisterDatabase& operator=(const RegisterDatabase&) = delete;

    // Makes `contents` the working copy at `path` (replacing the file in one write) and keeps
    // the file open for the edits that follow. When the file cannot be written the database
    // loaded before stays as it was.
    bool load(const QString& path, const QByteArray& contents);
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    // No database loaded, or the file is behind the program's copy after a write to it failed
    // (the next write that succeeds puts the whole copy back).
    bool failed() const { return !isOpen() || m_failed; }
    QString path() const { return m_file.fileName(); }
    const QByteArray& contents() const { return m_data; }
    qint64 size() const { return m_data.size(); }
    qint64 position() const { return m_pos; }

    quint8 readByteAt(qint64 offset);
    quint8 readNextByte();
    QString readTextAt(qint64 offset, int width);
    QString readTextHere(int width);
    QByteArray readBytes(qint64 offset, int count);

    void writeByteAt(qint64 offset, quint8 value);
    void writeByteHere(quint8 value);
    void writeTextAt(qint64 offset, const QString& text);
    // The text, then width - length pad bytes (none when the text is as long or longer; a
    // longer text is written whole).
    void writePaddedTextAt(qint64 offset, const QString& text, char pad, int width);
    void writePaddedTextHere(const QString& text, char pad, int width);
    void clearAt(qint64 offset, int count);

    // Writes a whole record; fails and writes nothing when no database is loaded or the
    // stream has failed.
    bool writeRecord(qint64 offset, QByteArrayView bytes);

private:
    void put(qint64 offset, QByteArrayView bytes);

    QFile m_file;
    QByteArray m_data;
    qint64 m_pos = 0;
    bool m_failed = false;
};
