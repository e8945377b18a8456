#pragma once

#include "wholerestore.h"

class RegisterDatabase;

// What the article form tells after "Wyślij wszystkie" with "Tylko zmienione": the register's
// base read and compared, then only new and changed articles sent.
namespace wholereg {

struct ChangedArticlesReport {
    QString summary; // how many differed and how many went; the records only in the register
    bool warning = false;
    QString failures; // "Niezaprogramowane towary:" and a line each; empty without refusals
};

// The options of that send: the articles alone, only what differs.
RestoreOptions changedArticlesOptions();
ChangedArticlesReport changedArticlesReport(const RestoreResult& result, RegisterDatabase& db);

} // namespace wholereg
