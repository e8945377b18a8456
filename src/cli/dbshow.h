#pragma once

#include <QStringList>

struct CliContext;

// vduno db show FILE.vkf TABLE: the used records of one table as readable lines on stdout, or
// with --json as records with named keys.
int runDbShow(const QStringList& args, CliContext& context);
