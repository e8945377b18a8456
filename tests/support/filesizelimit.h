#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, writes at or past `bytes` into any file fail in this process, as on a full
// disk (root included): the file system refusing the program without a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_held);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_held;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_held);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_held{};
    void (*m_handler)(int) = nullptr;
};
