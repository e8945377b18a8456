#include "listline.h"

int recordNumberFromLine(const QString& line)
{
    const qsizetype dot = line.indexOf(u'.');
    if (dot <= 0)
        return 0;
    bool ok = false;
    const int n = line.left(dot).trimmed().toInt(&ok);
    return ok ? n : 0;
}
