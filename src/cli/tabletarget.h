#pragma once

#include "command.h"

#include <QString>

#include <vector>

class DatabaseSession;
class Link;
class TransferUi;

// One table that "vduno send FILE TABLE" and "vduno read FILE TABLE" can transfer. Each
// table registers itself from its own tgt_*.cpp file:
//   VDUNO_TABLE_TARGET(articles, "towary", sendArticles, readArticles)
// `send` programs the listed record numbers (all used records when the list is empty);
// `read` fills the database from the register. Both return a CliExit code and print their
// summaries themselves; either may be null when the table does not support it.
struct TableTarget {
    const char* name;
    const char* title; // Polish name for the help text
    int (*send)(DatabaseSession& db, const std::vector<int>& numbers, CliContext& context,
                Link& link, TransferUi& ui);
    int (*read)(DatabaseSession& db, CliContext& context, Link& link, TransferUi& ui);
    // Kept in the database file only: `send` asks the register nothing, so no port is opened.
    bool databaseOnly = false;
};

class TableTargets {
public:
    static bool add(const TableTarget& target);
    static const std::vector<TableTarget>& all();
    static const TableTarget* find(const QString& name);
};

#define VDUNO_TABLE_TARGET(id, title, sendFn, readFn)                                              \
    namespace {                                                                                    \
    const bool tableTarget_##id = TableTargets::add({#id, title, sendFn, readFn});                 \
    }

namespace cli {
// Parses "1-50,70" into sorted, distinct numbers within 1..max. On failure returns false and
// puts a Polish message into `error`.
bool parseNumbers(const QString& text, int max, std::vector<int>& numbers, QString* error);
} // namespace cli
