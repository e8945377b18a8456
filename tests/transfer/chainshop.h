#pragma once

// A shop's register for the chain tests: an emulated register behind a TCP port of its own on
// 127.0.0.1, as a serial device server offers one.

#include "emulator/registermodel.h"
#include "emulator/tcphost.h"
#include "tables/articlerecord.h"

struct ChainShop {
    explicit ChainShop(emu::Model model, int demoArticles = 40) : reg(model, 1), host(reg)
    {
        if (demoArticles > 0)
            reg.fillDemo(demoArticles);
        running = host.start();
    }
    // The article's price as the register holds it.
    qint32 price(int article)
    {
        auto hold = host.lock();
        return ArticleRecord::decode(
                   articleFromImage(reg.image(emu::RegisterModel::Articles, article)))
            .price;
    }
    int articles()
    {
        auto hold = host.lock();
        return reg.usedRecords(emu::RegisterModel::Articles);
    }

    emu::RegisterModel reg;
    emu::TcpHost host;
    bool running = false;
};
