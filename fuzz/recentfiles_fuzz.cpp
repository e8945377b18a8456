// The list of the database files opened last. Whatever the list file holds, the menu gets at
// most eight different paths; a file opened goes to the front once; and every list the
// program writes reads back as it was.
#include "app/recentfiles.h"
#include "fuzzcheck.h"

#include <QByteArray>

#include <cstdint>

using fuzzcheck::check;

namespace {

void checkList(const QStringList& paths)
{
    check(paths.size() <= recentfiles::Limit, "more paths than the menu holds");
    for (const QString& path : paths) {
        check(!path.isEmpty(), "an empty path");
        check(paths.count(path) == 1, "a path twice");
    }
    check(recentfiles::parse(recentfiles::serialise(paths)) == paths,
          "the written list reads back different");
}

} // namespace

// The first byte splits the input: the bytes after it up to that length are the path of a
// file just opened (none for 0), the rest the list file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype pathSize = qMin<qsizetype>(data[0], qsizetype(size - 1));
    const QString opened = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), pathSize);
    const QByteArray file(reinterpret_cast<const char*>(data + 1 + pathSize),
                          qsizetype(size - 1) - pathSize);

    const QStringList paths = recentfiles::parse(file);
    checkList(paths);
    if (opened.isEmpty())
        return 0;

    const QStringList withOpened = recentfiles::withFile(paths, opened);
    checkList(withOpened);
    check(withOpened.count(opened) <= 1, "the opened file listed twice");
    if (withOpened.contains(opened))
        check(withOpened.front() == opened, "the opened file not at the front");
    const QStringList without = recentfiles::withoutFile(withOpened, opened);
    check(!without.contains(opened), "a file taken away is still listed");
    checkList(without);
    return 0;
}
