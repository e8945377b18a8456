#pragma once

#include <QJsonArray>
#include <QJsonObject>

namespace wholereg {
struct TableOutcome;
struct VerifyResult;
} // namespace wholereg

// The JSON of the whole-register runs' results, as --json gives them.
namespace cli {

// A table each: {"table", "state", "records", "listed", "refused": [{"number", "deviceError"}],
// "note"}.
QJsonArray tablesJson(const QList<wholereg::TableOutcome>& tables);
// {"equal", "complete", "rounds", "mended", "differing": [...]}.
QJsonObject verifyJson(const wholereg::VerifyResult& verified);

} // namespace cli
