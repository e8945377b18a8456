#pragma once

#include "link/serialline.h"

// The plain parts of a line in memory for the fuzz targets: it opens, takes any settings and
// keeps its time-outs; each target says what is written and read.
class ScriptedLine : public SerialLine {
public:
    OpenError open(const QString&) override
    {
        m_open = true;
        return OpenError::None;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool configure(const LineSettings&) override { return true; }
    void setTimeouts(const LineTimeouts& t) override { m_t = t; }
    LineTimeouts timeouts() const override { return m_t; }
    int status() override { return 0; }

protected:
    LineTimeouts m_t;

private:
    bool m_open = false;
};
