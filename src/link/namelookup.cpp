#include "namelookup.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <thread>

namespace namelookup {

namespace {

Result resolve(const QByteArray& host, quint16 port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int r =
        ::getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found);
    Result result;
    if (r != 0) {
        result.status = r == EAI_NONAME || r == EAI_FAIL ? Status::UnknownHost : Status::Failed;
        return result;
    }
    for (const addrinfo* ai = found; ai; ai = ai->ai_next) {
        if (ai->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        Address a;
        a.family = ai->ai_family;
        a.length = ai->ai_addrlen;
        std::memcpy(&a.address, ai->ai_addr, ai->ai_addrlen);
        result.addresses.push_back(a);
    }
    ::freeaddrinfo(found);
    result.status = result.addresses.empty() ? Status::UnknownHost : Status::Found;
    return result;
}

struct Pending {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    Result result;
};

} // namespace

Result lookUp(const QByteArray& host, quint16 port, std::chrono::steady_clock::time_point deadline)
{
    auto pending = std::make_shared<Pending>();
    std::thread([pending, host, port] {
        Result r = resolve(host, port);
        const std::lock_guard lock(pending->mutex);
        pending->result = std::move(r);
        pending->finished = true;
        pending->done.notify_all();
    }).detach();
    std::unique_lock lock(pending->mutex);
    pending->done.wait_until(lock, deadline, [&] { return pending->finished; });
    if (!pending->finished)
        return {Status::TimedOut, {}};
    return pending->result;
}

} // namespace namelookup
