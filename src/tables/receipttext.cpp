#include "receipttext.h"

#include "common/cp1250.h"

namespace receipt {

QByteArray printLine(const Paragraph& p)
{
    QByteArray line;
    for (const Char& ch : p.text) {
        const QByteArray bytes = cp1250::encode(QString(ch.c));
        const int need = int(bytes.size()) + (ch.large ? 1 : 0);
        if (line.size() + need > LineWidth)
            break;
        if (ch.large)
            line.append(LargeMark);
        line.append(bytes);
    }
    const int pad = LineWidth - int(line.size());
    switch (p.align) {
    case Align::Left:
        line.append(pad, ' ');
        break;
    case Align::Right:
        line.prepend(pad, ' ');
        break;
    case Align::Center:
        line.prepend(pad / 2, ' ');
        line.append(pad - pad / 2, ' ');
        break;
    }
    return line;
}

Block Block::decode(QByteArrayView b, int limit)
{
    Block out;
    out.lines = b.first(limit * LineWidth).toByteArray();
    out.lineCount = quint8(b[limit * LineWidth]);
    for (int i = 0; i < limit; ++i)
        out.tall.append(b[limit * LineWidth + 1 + i] != 0);
    return out;
}

QByteArray Block::encode() const
{
    QByteArray b = lines;
    b.append(char(lineCount));
    for (bool t : tall)
        b.append(t ? 1 : 0);
    return b;
}

Block buildBlock(const QList<Paragraph>& paragraphs, int limit, const QList<bool>& tall)
{
    Block b;
    b.lineCount = int(std::min<qsizetype>(paragraphs.size(), limit));
    for (int i = 0; i < b.lineCount; ++i)
        b.lines.append(printLine(paragraphs[i]));
    b.lines.append(limit * LineWidth - b.lines.size(), '\0');
    for (int i = 0; i < limit; ++i)
        b.tall.append(i < tall.size() && tall[i]);
    return b;
}

QStringList headerLinesFromRegister(QByteArrayView block)
{
    QStringList out;
    for (int i = 0; i < HeaderLines; ++i) {
        QByteArray line = block.sliced(i * LineWidth, LineWidth).toByteArray();
        line.replace('\0', QByteArray());
        out.append(cp1250::decode(line));
    }
    return out;
}

QStringList readableLines(const Block& b)
{
    QStringList out;
    for (int i = 0; i < b.lineCount && (i + 1) * LineWidth <= b.lines.size(); ++i) {
        QByteArray line = b.lines.mid(i * LineWidth, LineWidth);
        line.replace(LargeMark, "^");
        QString text = cp1250::readField(line);
        if (b.tall.value(i))
            text += QStringLiteral("  [wysoka]");
        out.append(QString::number(i + 1) + QStringLiteral(". |") + text + u'|');
    }
    return out;
}

} // namespace receipt
