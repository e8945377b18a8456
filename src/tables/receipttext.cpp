#include "receipttext.h"

#include "common/cp1250.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"
#include "tables/recordsend.h"

#include <algorithm>

namespace receipt {

QByteArray printLine(const Paragraph& p)
{
    QByteArray line;
    for (const Char& ch : p.text) {
        const QByteArray bytes = cp1250::encode(QString(ch.c));
        // A character without a byte (the first half of a surrogate pair) leaves nothing on the
        // line, not even the large-character mark, which would otherwise fall on the next byte.
        if (bytes.isEmpty())
            continue;
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

QString textRefusal(const QList<Paragraph>& paragraphs, int limit, const QString& label)
{
    QString text;
    for (qsizetype i = 0; i < paragraphs.size() && i < limit; ++i)
        for (const Char& ch : paragraphs[i].text)
            text.append(ch.c);
    return cp1250::refusal(text, label);
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

QList<Paragraph> paragraphsFromRtf(const rtf::Document& document)
{
    QList<Paragraph> out;
    for (const rtf::Paragraph& rp : document.paragraphs) {
        Paragraph p;
        switch (rp.align) {
        case rtf::Align::Center:
            p.align = Align::Center;
            break;
        case rtf::Align::Right:
            p.align = Align::Right;
            break;
        case rtf::Align::Left:
        case rtf::Align::Justify:
            p.align = Align::Left;
            break;
        }
        for (const rtf::Run& r : rp.runs)
            for (const QChar c : r.text)
                p.text.append({c, isLargeSize(r.halfPoints / 2.0)});
        out.append(p);
    }
    return out;
}

rtf::Document rtfFromParagraphs(const QList<Paragraph>& paragraphs)
{
    rtf::Document d;
    for (const Paragraph& p : paragraphs) {
        rtf::Paragraph rp;
        rp.align = p.align == Align::Center  ? rtf::Align::Center
                   : p.align == Align::Right ? rtf::Align::Right
                                             : rtf::Align::Left;
        for (const Char& c : p.text)
            rp.append(QString(c.c), 2 * (c.large ? LargeSize : NormalSize));
        d.paragraphs.append(rp);
    }
    return d;
}

int lineLimit(Kind kind)
{
    return kind == Kind::Header ? HeaderLines : FooterLines;
}

const TableLayout& blockLayout(Kind kind)
{
    return kind == Kind::Header ? layout::Header : layout::Footer;
}

Block loadBlock(RegisterDatabase& db, Kind kind)
{
    const TableLayout& l = blockLayout(kind);
    return Block::decode(db.readBytes(l.base, l.recordSize), lineLimit(kind));
}

bool storeBlock(RegisterDatabase& db, Kind kind, const Block& block)
{
    return db.writeRecord(blockLayout(kind).base, block.encode());
}

int sendHeader(Link& link, TransferUi& ui, QByteArrayView block)
{
    link.drainInput(ui);
    if (commands::send(link, ui, commands::receiptHeader(link.address, 0x8001, block)) != 0)
        return -1;
    const int r = answers::confirmationWait(link, ui);
    if (r == answers::DeviceError)
        answers::showDeviceError(ui, link.at(8));
    return r;
}

int sendFooter(Link& link, TransferUi& ui, QByteArrayView block, bool confirm, bool awaitAnswer)
{
    const QByteArray frame = commands::receiptFooter(link.address, 0x8001, block, confirm ? 1 : 0);
    if (awaitAnswer)
        return recordsend::sendFrame(link, ui, frame);
    link.drainInput(ui);
    return commands::send(link, ui, frame);
}

std::optional<QByteArray> readHeaderBlock(Link& link, TransferUi& ui)
{
    constexpr int Length = 268;
    if (!answers::readSingleFrame(link, ui, commands::requestTable(link.address, 0x8001, 'N'),
                                  Length))
        return std::nullopt;
    return link.received(Length).sliced(7, layout::Header.recordSize).toByteArray();
}

std::optional<QStringList> readHeader(Link& link, TransferUi& ui)
{
    const auto block = readHeaderBlock(link, ui);
    if (!block)
        return std::nullopt;
    return headerLinesFromRegister(QByteArrayView(*block).first(HeaderLines * LineWidth));
}

QList<Paragraph> paragraphsFromBlock(const Block& b)
{
    QList<Paragraph> out;
    const int lines = std::min<int>(b.lineCount, int(b.lines.size() / LineWidth));
    for (int i = 0; i < lines; ++i) {
        const QByteArray line = b.lines.mid(i * LineWidth, LineWidth);
        Paragraph p;
        p.align = Align::Center;
        for (int k = 0; k < line.size(); ++k) {
            if (line[k] == '\0')
                continue;
            const bool large = line[k] == LargeMark && k + 1 < line.size();
            if (large)
                ++k;
            const QString ch = cp1250::decode(line.mid(k, 1));
            if (!ch.isEmpty())
                p.text.append({ch.at(0), large});
        }
        const auto pad = [](const Char& c) { return !c.large && c.c == u' '; };
        while (!p.text.isEmpty() && pad(p.text.first()))
            p.text.removeFirst();
        while (!p.text.isEmpty() && pad(p.text.last()))
            p.text.removeLast();
        out.append(p);
    }
    return out;
}

recordsend::OutcomeTexts footerSendTexts()
{
    return {QStringLiteral("Stopkę zapisano w kasie"),
            QStringLiteral("Błąd! Kasa nie potwierdziła zapisu stopki!")};
}

} // namespace receipt
