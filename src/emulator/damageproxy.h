#pragma once

#include "loopback.h"

#include <QString>

#include <atomic>
#include <random>
#include <thread>

namespace emu {

// A poor cable between the program and a register behind a TCP port: a proxy on loopback that
// passes every byte both ways and damages some of them, one random bit flipped in a byte with
// probability `rate`. The damage comes from a generator seeded with `seed`, so a failure on a
// given seed happens again on it. One client at a time, as the register's own host.
class DamageProxy {
public:
    DamageProxy(quint16 targetPort, double rate, quint64 seed);
    ~DamageProxy();
    DamageProxy(const DamageProxy&) = delete;
    DamageProxy& operator=(const DamageProxy&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port).
    bool start(quint16 port = 0, QString* errorText = nullptr);
    void stop();
    quint16 port() const { return m_listener.port(); }
    QString address() const;
    // Bytes damaged so far, towards the register and towards the program.
    int damagedToRegister() const { return m_toRegister; }
    int damagedToProgram() const { return m_toProgram; }

private:
    void run();
    // Passes what `from` has to `to`, damaging it; false when either side has gone.
    bool pass(int from, int to, std::atomic<int>& damaged);

    quint16 m_target;
    std::bernoulli_distribution m_hit;
    std::mt19937_64 m_random;
    LoopbackListener m_listener;
    std::atomic<int> m_toRegister{0};
    std::atomic<int> m_toProgram{0};
};

} // namespace emu
