#pragma once

#include "tableoutcome.h"
#include "wholerestore.h"

#include <functional>
#include <optional>

class Link;
class RegisterDatabase;
class StageUi;

// How each step of a whole-register programming run lists, compares, sends and deletes its
// records, through the logic its own form uses.
namespace wholereg {

struct StepContext {
    Link& link;
    StageUi& ui;
    RegisterDatabase& db;
    int registerType;
    const RestoreOptions& options;
    // The register's rates as read before the run (nothing when they could not be read).
    const std::optional<QByteArray>& registerVat;
};

// What one send over a step's records did.
struct Sent {
    int handled = 0; // answered records, from the first of the list: where a resume goes on
    int programmed = 0;
    QList<RefusedRecord> refused;
    bool broken = false;
    bool stopped = false;
};

// The register's table beside the database's.
struct Compared {
    QList<int> changed;      // new or different in the database: to send
    QList<int> onlyRegister; // in the register only
};

struct StepDef {
    // The records the database has for this step (record numbers; cashiers for the quick
    // keys; one item for a block).
    std::function<QList<int>(StepContext&)> items;
    // Reads the register's table and compares; nothing when the read failed. Null for the
    // tables the register cannot send (footer, halo): those always go.
    std::function<std::optional<Compared>(StepContext&)> compare;
    std::function<Sent(StepContext&, const QList<int>&)> send;
    // The block as the database holds it, for the blocks the register cannot send.
    std::function<QByteArray(StepContext&)> stored;
    // Deletes records in the register; null where there is no deletion.
    std::function<Sent(StepContext&, const QList<int>&)> remove;
};

const StepDef& stepDef(Step step);

} // namespace wholereg
