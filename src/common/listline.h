#pragma once

#include <QString>

// List lines begin with the record number and "." ("12. Mleko ..."); the number is
// always read back as the integer before the first ".". Returns 0 when there is none.
int recordNumberFromLine(const QString& line);
